#include "skein10/Object.h"

#include "skein10/Boundary.h"
#include "skein10/Component.h"
#include "skein10/TypeInfo.h"
#include "platform/automation/HomeThread.h"

namespace skein10 {

Object::Object() : home_(detail::HomeThread::current()) {}

Object::~Object() {
  if (module_) module_->objectDestroyed();
}

void Object::countIn(ModuleUsage& module) noexcept {
  if (module_) return;
  module_ = &module;
  module.objectCreated();
}

void Object::release() const noexcept {
  if (count_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  if (home_ && !home_->isCurrent() && home_->adopt(this)) return;
  delete this;
}

void releaseAdoptedObjects() {
  if (const auto home = detail::HomeThread::current()) home->destroyAdopted();
}

Status Object::GetIDOfName(const String& name, DispId* id) const {
  return guarded(id, [&] {
    auto found = interfaceInfo().idOfName(name);
    if (!found) throw Error::runtime(errc::MemberNotFound);
    return *found;
  });
}

namespace {

// The member a call reaches, or the error the call gets: 438 when the id has
// no member of that kind, 450 for an assignment to a property that takes none.
const MemberInfo& resolve(const InterfaceInfo& info, DispId id, InvokeKind kind) {
  if (const MemberInfo* member = info.find(id, kind)) return *member;
  const bool assignment = hasKind(kind, InvokeKind::Let) || hasKind(kind, InvokeKind::Set);
  throw Error::runtime(assignment && info.hasId(id) ? errc::WrongArguments : errc::MemberNotFound);
}

// Checks the argument count and fills omitted optional arguments.
void completeArguments(const MemberInfo& member, std::vector<Variant>& args) {
  if (args.size() < member.requiredParams() || args.size() > member.params.size())
    throw Error::runtime(errc::WrongArguments);
  while (args.size() < member.params.size()) args.push_back(Variant::missing());
}

}  // namespace

Status Object::Invoke(DispId id, InvokeKind kind, std::vector<Variant>& args, Variant* result) {
  releaseAdoptedObjects();
  const MemberInfo* member = nullptr;
  const Status status = guarded([&] {
    member = &resolve(interfaceInfo(), id, kind);
    completeArguments(*member, args);
  });
  if (status != Status::Ok) {
    *result = Variant();
    return status;
  }
  return member->invoke(*this, args, result);
}

}  // namespace skein10
