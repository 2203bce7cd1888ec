#include "unit/framework/RecordingErrorHandler.h"

#include "common/basKvcoreCommonA.h"
#include "skein10/Automation.h"

namespace skein10::test {
namespace {

class Recorder final : public Object {
 public:
  explicit Recorder(std::shared_ptr<RecordingErrorHandler::State> state)
      : state_(std::move(state)) {}

  Status ErrorHandlerMessageKv(const ObjectRef& app, const ObjectRef& err, const String& text3,
                               const String& location, const int32_t& number5,
                               const String& text6, const int32_t& number7, Variant optional8) {
    return guarded([&] {
      state_->reports.push_back(Report{
          app ? call(*app, u"EXEName").toString() : String(u"(nothing)"),
          call(*err, u"Number").toLong(), call(*err, u"Source").toString(),
          call(*err, u"Description").toString(), text3, location, number5, text6, number7,
          optional8.isMissing()});
      if (state_->failure) throw *state_->failure;
    });
  }

  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{
        u"_RecordingErrorHandler",
        u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1BF0}",
        {member<&Recorder::ErrorHandlerMessageKv>(
            u"ErrorHandlerMessageKv", MemberKind::Method, 0x60030000,
            {Passing::ByReference, Passing::ByReference, Passing::ByReference,
             Passing::ByReference, Passing::ByReference, Passing::ByReference,
             Passing::ByReference},
            7)}};
    return info;
  }

 private:
  std::shared_ptr<RecordingErrorHandler::State> state_;
};

}  // namespace

RecordingErrorHandler::RecordingErrorHandler() : state_(std::make_shared<State>()) {
  registerClass({kErrorHandlerProgId, u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1BF1}",
                 [state = state_] { return ObjectRef(makeRef<Recorder>(state)); }});
}

RecordingErrorHandler::~RecordingErrorHandler() { unregisterClass(kErrorHandlerProgId); }

std::vector<String> RecordingErrorHandler::locations() const {
  std::vector<String> out;
  for (const auto& r : state_->reports) out.push_back(r.location);
  return out;
}

std::vector<int32_t> RecordingErrorHandler::numbers() const {
  std::vector<int32_t> out;
  for (const auto& r : state_->reports) out.push_back(r.number);
  return out;
}

}  // namespace skein10::test
