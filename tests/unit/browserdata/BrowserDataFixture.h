#pragma once
// A browser-data object on a temporary profile folder, a temporary URL cache
// store and the recording error report.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "browserdata/clsKvInetURLCacheA.h"
#include "platform/system/DirectorySearch.h"
#include "platform/system/MessageTable.h"
#include "platform/system/UrlCacheStore.h"
#include "skein10/Automation.h"
#include "TempDir.h"
#include "unit/framework/RecordingErrorHandler.h"
#include "unit/system/FakeAccounts.h"

namespace skein10::test {

class BrowserDataFixture : public ::testing::Test {
 protected:
  TempDir folder;
  RecordingErrorHandler reports;
  std::string profile = (folder / "Profile").string();
  std::shared_ptr<os::UrlCacheStore> store =
      std::make_shared<os::UrlCacheStore>(folder / "urlcache");
  std::shared_ptr<os::FolderSearch> search = std::make_shared<os::DirectorySearch>();

  BrowserPlatform platform(std::optional<std::string> home) const {
    return BrowserPlatform{std::make_shared<FakeAccounts>(std::move(home)), search, store,
                           std::make_shared<os::MessageTable>()};
  }
  // A new instance on the profile folder `home` (the fixture's by default).
  ObjectRef create(std::optional<std::string> home) const {
    return createURLCacheOn(platform(std::move(home)));
  }
  ObjectRef create() const { return create(profile); }

  static _clsKvInetURLCacheA& typed(const ObjectRef& object) {
    return dynamic_cast<_clsKvInetURLCacheA&>(*object);
  }
  static Ref<Collection> collection(const ObjectRef& object, const char16_t* name) {
    return BoundaryType<Ref<Collection>>::from(call(*object, name));
  }
  // The items as texts, in order.
  static std::vector<String> texts(const Collection& items) {
    std::vector<String> out;
    for (int32_t i = 1; i <= items.count(); ++i) out.push_back(items.item(Variant(i)).toString());
    return out;
  }
};

}  // namespace skein10::test
