// What the host prints for results, how `call` converts its words, how the
// progress line counts bytes, and where `register` looks for the libraries.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TempDir.h"
#include "host/CallCommand.h"
#include "host/IoCounter.h"
#include "host/RegisterCommand.h"
#include "host/ValuePrinter.h"
#include "skein10/Collection.h"
#include "skein10/TypeInfo.h"

namespace skein10::host {
namespace {

// A member with typed parameters, to see the host convert words to them.
class Typed : public Object {
 public:
  Status Take(int32_t count, const String& text, bool flag, Variant anything, String* result) {
    return guarded(result, [&] { return text + u":" + String(static_cast<std::size_t>(count), u'*') +
                                        (flag ? u":yes" : u":no") + u":" + anything.toString(); });
  }
  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{u"_Typed", u"{00000000-0000-0000-0000-000000000001}",
                                    {member<&Typed::Take>(u"Take", MemberKind::Method, 1,
                                                          {Passing::ByValue, Passing::ByReference})}};
    return info;
  }
};

std::string printed(const Variant& value) {
  std::ostringstream out;
  printValue(value, out);
  return out.str();
}

TEST(ValuePrinterTest, PrintsEachKindOfResult) {
  auto collection = makeRef<Collection>();
  collection->add(Variant(u"first"));
  collection->add(Variant(int32_t{2}), u"two");
  collection->add(Variant(ByteArray{0xde, 0xad}));
  const struct {
    Variant value;
    const char* text;
  } cases[] = {
      {Variant(), ""},
      {Variant(int32_t{-7}), "-7\n"},
      {Variant(true), "True\n"},
      {Variant(u"caf\u00e9"), "caf\xc3\xa9\n"},
      {Variant(ByteArray{0x00, 0x0f, 0xab, 0x10}), "000fab10\n"},
      {Variant(ByteArray{}), "\n"},
      {Variant(ObjectRef(collection)), "first\n2\ndead\n"},
      {Variant(ObjectRef(makeRef<Typed>())), "_Typed\n"},
      {Variant(ObjectRef()), "Nothing\n"},
      {Variant(Variant::Array{Variant(int32_t{1}), Variant(u"b")}), "1\nb\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(printed(c.value), c.text);
}

TEST(CallArgumentsTest, ConvertsEachWordToItsParameterType) {
  const auto typed = makeRef<Typed>();
  const auto args = convertArguments(*typed, u"take", {"3", "text", "True", "12"});
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(args[0], Variant(int32_t{3}));
  EXPECT_EQ(args[1], Variant(u"text"));
  EXPECT_EQ(args[2], Variant(true));
  EXPECT_EQ(args[3], Variant(int32_t{12}));
  // A Variant parameter keeps every word that is not a whole 32-bit number as text.
  for (const char* word : {"TYPELIB", "1.5", "99999999999", ""})
    EXPECT_EQ(convertArguments(*typed, u"Take", {"1", "a", "0", word})[3], Variant(fromUtf8(word))) << word;

  EXPECT_THROW(convertArguments(*typed, u"Take", {"three"}), Error);
  // Words beyond the parameters, or for a member the interface lacks, stay text.
  EXPECT_EQ(convertArguments(*typed, u"Take", {"1", "a", "0", "b", "extra"})[4], Variant(u"extra"));
  EXPECT_EQ(convertArguments(*typed, u"Missing", {"1"})[0], Variant(u"1"));
}

TEST(IoCounterTest, CountsFileBytesAndNotItsOwnReadsOrAnnouncedWrites) {
  test::TempDir dir;
  const std::string block(100000, 'x');
  IoCounter written(IoCounter::Direction::Written);
  IoCounter read(IoCounter::Direction::Read);
  for (int i = 0; i < 20; ++i) EXPECT_LT(read.moved(), 64u) << "its own reads of the counters counted";
  {
    std::ofstream out(dir / "file", std::ios::binary);
    out << block;
  }
  const uint64_t afterWrite = written.moved();
  EXPECT_GE(afterWrite, block.size());
  EXPECT_LT(afterWrite, block.size() + 4096);
  written.ownWrite(afterWrite);
  EXPECT_LT(written.moved(), 4096u);

  std::ifstream in(dir / "file", std::ios::binary);
  std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const uint64_t afterRead = read.moved();
  EXPECT_GE(afterRead, block.size());
  EXPECT_LT(afterRead, block.size() + 4096);
}

TEST(BuiltLibrariesTest, TakesTheFirstFolderThatHoldsTheLibrary) {
  test::TempDir build, installed;
  std::ofstream(installed / "libskein10.so") << "";
  const auto found = builtLibraries({build.path(), installed.path()});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], installed / "libskein10.so");
  EXPECT_EQ(found[1], installed / "libkvmarrow10.so");
  // With none there, the error will name the first place looked at.
  test::TempDir empty;
  EXPECT_EQ(builtLibraries({empty.path(), build.path()})[0], empty / "libskein10.so");
}

}  // namespace
}  // namespace skein10::host
