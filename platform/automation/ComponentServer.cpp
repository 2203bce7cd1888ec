#include "platform/automation/ComponentServer.h"

#include <dlfcn.h>

#include "skein10/Boundary.h"
#include "skein10/TypeInfo.h"

namespace skein10 {
namespace {

// The factory a server hands out for one of its classes.
class ServerClassFactory final : public ClassFactory {
 public:
  ServerClassFactory(ModuleUsage& usage, Factory create) : usage_(usage), create_(std::move(create)) {
    countIn(usage);
  }

  Status CreateInstance(ObjectRef* result) override {
    return guarded(result, [&] {
      ObjectRef object = create_();
      if (object) object->countIn(usage_);
      return object;
    });
  }

  Status LockServer(bool lock) override {
    return guarded([&] { lock ? usage_.lock() : usage_.unlock(); });
  }

  const InterfaceInfo& interfaceInfo() const override {
    static const InterfaceInfo info{
        u"ClassFactory",
        u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A12}",
        {
            member<&ServerClassFactory::CreateInstance>(u"CreateInstance", MemberKind::Method, 1),
            member<&ServerClassFactory::LockServer>(u"LockServer", MemberKind::Method, 2),
        }};
    return info;
  }

 private:
  ModuleUsage& usage_;
  Factory create_;
};

std::string text(const String& s) { return toUtf8(s); }

}  // namespace

std::filesystem::path moduleFileOf(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  auto path = std::filesystem::canonical(info.dli_fname, ec);
  return ec ? std::filesystem::path(info.dli_fname) : path;
}

ComponentServer::ComponentServer(TypeLibrary typeLibrary, std::vector<ClassEntry> classes,
                                 ModuleUsage* usage)
    : typeLibrary_(std::move(typeLibrary)), classes_(std::move(classes)), usage_(usage ? usage : &ownUsage_) {}

RegistrationStore::Entries ComponentServer::entries(const std::filesystem::path& library) const {
  RegistrationStore::Entries out;
  const std::string lib = text(typeLibrary_.id);
  const std::string version = text(typeLibrary_.version);
  out["TypeLib\\" + lib + "\\" + version] = text(typeLibrary_.name);
  out["TypeLib\\" + lib + "\\" + version + "\\0\\linux64"] = library.string();
  for (const ClassEntry& c : classes_) {
    const std::string clsid = "CLSID\\" + text(c.classId);
    out[clsid] = text(c.progId);
    out[clsid + "\\ProgID"] = text(c.progId);
    out[clsid + "\\InProcessServer"] = library.string();
    out[clsid + "\\InProcessServer\\ThreadingModel"] = "Apartment";
    out[clsid + "\\TypeLib"] = lib;
    out[clsid + "\\Version"] = version;
    out[text(c.progId) + "\\CLSID"] = text(c.classId);
  }
  return out;
}

Status ComponentServer::registerServer(const void* anchor) {
  return guarded([&] {
    const std::filesystem::path library = moduleFileOf(anchor);
    if (library.empty() || library.string().find('\n') != std::string::npos)
      throw Error::runtime(errc::LoadLibraryFailed);
    const auto mine = entries(library);
    RegistrationStore(registryPath()).update([&](RegistrationStore::Entries& all) {
      for (const auto& [key, value] : mine) all[key] = value;
    });
  });
}

Status ComponentServer::unregisterServer() {
  return guarded([&] {
    const auto mine = entries({});
    RegistrationStore(registryPath()).update([&](RegistrationStore::Entries& all) {
      for (const auto& entry : mine) all.erase(entry.first);
    });
  });
}

Status ComponentServer::getClassObject(const char16_t* classId, Ref<ClassFactory>* factory) {
  return guarded(factory, [&] {
    const String wanted = foldCase(classId ? classId : u"");
    for (const ClassEntry& c : classes_)
      if (foldCase(c.classId) == wanted) return Ref<ClassFactory>(makeRef<ServerClassFactory>(*usage_, c.factory));
    throw Error::runtime(errc::CantCreateObject);
  });
}

Status ComponentServer::canUnloadNow() const noexcept { return usage_->inUse() ? Status::False : Status::Ok; }

ObjectRef ComponentServer::create(const ClassEntry& entry) {
  ObjectRef object = entry.factory();
  if (object) object->countIn(*usage_);
  return object;
}

void ComponentServer::registerInProcess() {
  for (const ClassEntry& c : classes_)
    registerClass({c.progId, c.classId, [this, &c] { return create(c); }});
}

}  // namespace skein10
