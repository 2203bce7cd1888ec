#pragma once
// The current user's browser data: profile folders, the cookies folder
// listing and the URL cache look-up.

#include "browserdata/BrowserPlatform.h"
#include "skein10/TypeInfo.h"
#include "skein10/_clsKvInetURLCacheA.h"

namespace skein10 {

class clsKvInetURLCacheA final : public _clsKvInetURLCacheA {
 public:
  explicit clsKvInetURLCacheA(BrowserPlatform platform) : platform_(std::move(platform)) {}

  Status get_colUserInformation(Ref<Collection>* result) override;
  Status putref_colUserInformation(Ref<Collection> value) override;
  Status get_colCookiesFiles(Ref<Collection>* result) override;
  Status putref_colCookiesFiles(Ref<Collection> value) override;
  Status UserInformation() override;
  Status GetCookiesFiles() override;
  Status GetCacheEntryInfoPro(const int32_t& lWhnd, const String& sUrl, bool* result) override;

  const InterfaceInfo& interfaceInfo() const override;
  static const InterfaceInfo& typeInfo();

  // The member bodies; failing steps are reported and passed over, and only
  // a failing report leaves them (as Error).
  void userInformation();
  void getCookiesFiles();

 private:
  // The collection in a slot, created empty when the slot holds nothing.
  static Collection& use(Ref<Collection>& slot);
  static Status readSlot(Ref<Collection>& slot, Ref<Collection>* result);
  static Status writeSlot(Ref<Collection>& slot, Ref<Collection> value);

  BrowserPlatform platform_;
  Ref<Collection> colUserInformation_;
  Ref<Collection> colCookiesFiles_;
};

// A new instance, its folders filled: on the machine's own services, or on
// the given ones. Fails only when reporting a failure of the filling fails.
ObjectRef createURLCache();
ObjectRef createURLCacheOn(BrowserPlatform platform);

}  // namespace skein10
