// The reply framer fed the control connection's bytes the way the session
// feeds it (each received chunk decoded on its own), cut three ways: where
// the input's own cut points say, all at once, and byte by byte. The replies
// must be the same each time, none longer than the framer keeps, none holding
// a line end; after reset() the framer frames like a new one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "ftp/FtpReplyFramer.h"

namespace skein10 {
namespace {

using Replies = std::vector<String>;

void require(bool ok) {
  if (!ok) std::abort();
}

void feed(FtpReplyFramer& framer, const std::vector<std::string_view>& chunks, Replies& out) {
  for (std::string_view chunk : chunks)
    for (String& reply : framer.push(fromUtf8(chunk))) out.push_back(std::move(reply));
}

Replies framed(const std::vector<std::string_view>& chunks) {
  FtpReplyFramer framer;
  Replies out;
  feed(framer, chunks, out);
  return out;
}

// The bytes come from the input's start; each cut length (0..255, so empty
// chunks too) from its end, until either runs out.
std::vector<std::string_view> cutAsTold(FuzzedDataProvider& in, std::string_view bytes) {
  std::vector<std::string_view> chunks;
  while (!bytes.empty() && in.remaining_bytes() > 0) {
    const std::size_t n = std::min<std::size_t>(in.ConsumeIntegral<uint8_t>(), bytes.size());
    chunks.push_back(bytes.substr(0, n));
    bytes.remove_prefix(n);
  }
  chunks.push_back(bytes);
  return chunks;
}

std::vector<std::string_view> byteByByte(std::string_view bytes) {
  std::vector<std::string_view> chunks;
  for (std::size_t i = 0; i < bytes.size(); ++i) chunks.push_back(bytes.substr(i, 1));
  return chunks;
}

}  // namespace
}  // namespace skein10

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skein10;
  FuzzedDataProvider in(data, size);
  const std::string bytes = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, in.remaining_bytes()));
  const Replies whole = framed({bytes});
  require(framed(cutAsTold(in, bytes)) == whole);
  require(framed(byteByByte(bytes)) == whole);
  for (const String& reply : whole) {
    require(reply.size() <= FtpReplyFramer::kMaxLine);
    require(reply.find_first_of(u"\r\n") == String::npos);
  }

  FtpReplyFramer reused;
  Replies ignored, again;
  feed(reused, {bytes}, ignored);
  reused.reset();
  feed(reused, {bytes}, again);
  require(again == whole);
  return 0;
}
