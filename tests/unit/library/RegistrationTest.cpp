// Registration of the built libraries in the store, creation from it, and
// unloading.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "skein10/ModuleData.h"
#include "skein10/Skein10.h"
#include "platform/automation/LoadedLibrary.h"
#include "platform/automation/RegistrationStore.h"

using namespace skein10;

namespace {

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("skein10-registration-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ::setenv("SKEIN10_REGISTRY", (dir / "registry").c_str(), 1);
    ::setenv("SKEIN10_INSTALLED_REGISTRY", (dir / "installed" / "registry").c_str(), 1);
    ::setenv("SKEIN10_URLCACHE", (dir / "urlcache").c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("SKEIN10_INSTALLED_REGISTRY");
    std::filesystem::remove_all(dir);
  }

  // Earlier tests in this process may have left objects in this thread's
  // module data (the application object) or libraries loaded: start clean.
  static void dropEarlierState() {
    releaseModuleData("");
    freeUnusedLibraries();
  }

  static int32_t creationError(StringView progId) { return creationFailure(progId).number(); }

  static Error creationFailure(StringView progId) {
    try {
      CreateObject(progId);
    } catch (const Error& e) {
      return e;
    }
    return Error(0, u"", u"created");
  }

  std::filesystem::path dir;
};

TEST_F(Registration, RegisterCreateUnregister) {
  EXPECT_EQ(creationError(ids::kProgIdKvSkein10A), errc::CantCreateObject);
  RegistrationStore(registryPath()).update([](auto& e) { e["Other.Class\\CLSID"] = "{other}"; });

  registerLibrary(SKEIN10_LIBRARY);
  const auto entries = RegistrationStore(registryPath()).read();
  const std::string clsid = "CLSID\\" + toUtf8(ids::kClsKvInetFTPConnection);
  EXPECT_EQ(entries.at(clsid + "\\InProcessServer"), std::filesystem::canonical(SKEIN10_LIBRARY).string());
  EXPECT_EQ(entries.at(clsid + "\\InProcessServer\\ThreadingModel"), "Apartment");
  EXPECT_EQ(entries.at("Skein10.clsKvInetFTPConnection\\CLSID"), toUtf8(ids::kClsKvInetFTPConnection));
  EXPECT_EQ(entries.at(clsid + "\\TypeLib"), toUtf8(ids::kTypeLibrary));
  for (const char16_t* progId : {ids::kProgIdKvSkein10A, ids::kProgIdKvInetGeneralA, ids::kProgIdKvInetAdvancedA,
                                 ids::kProgIdKvInetURLCacheA, ids::kProgIdKvInetFTPConnection})
    EXPECT_TRUE(CreateObject(progId)) << toUtf8(progId);

  unregisterLibrary(SKEIN10_LIBRARY);
  EXPECT_EQ(creationError(ids::kProgIdKvInetFTPConnection), errc::CantCreateObject);
  const auto left = RegistrationStore(registryPath()).read();
  ASSERT_EQ(left.size(), 1u);  // exactly our entries went, the other one stays
  EXPECT_EQ(left.begin()->first, "Other.Class\\CLSID");
}

// The store installed beside the libraries names them relative to its own
// folder; it serves every class without registration, after the user's store.
TEST_F(Registration, TheInstalledStoreServesWithoutRegistrationAndTheUsersStoreWins) {
  dropEarlierState();
  const std::filesystem::path installed = dir / "installed" / "registry";
  const std::filesystem::path library = std::filesystem::canonical(SKEIN10_LIBRARY);
  registerLibrary(library);
  const std::string relative = std::filesystem::relative(library, installed.parent_path()).string();
  RegistrationStore(installed).update([&](auto& e) {
    for (const auto& [key, value] : RegistrationStore(registryPath()).read())
      e.insert_or_assign(key, value == library.string() ? relative : value);
  });
  std::filesystem::remove(registryPath());

  EXPECT_TRUE(CreateObject(ids::kProgIdKvInetGeneralA));
  const auto found = findRegisteredClass(ids::kProgIdKvInetGeneralA);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->library, library);
  EXPECT_EQ(found->store, installed);

  RegistrationStore(registryPath()).update([](auto& e) {
    e.insert_or_assign("Skein10.clsKvInetGeneralA\\CLSID", "{00000000-0000-0000-0000-0000000000C1}");
    e.insert_or_assign("CLSID\\{00000000-0000-0000-0000-0000000000C1}\\InProcessServer", "/nonexistent/lib.so");
  });
  const auto loadError = componentLibraryError("/nonexistent/lib.so");
  ASSERT_TRUE(loadError);
  const Error refused = creationFailure(ids::kProgIdKvInetGeneralA);
  EXPECT_EQ(refused.number(), errc::CantCreateObject);
  EXPECT_EQ(refused.description(),
            u"Can't create object: 'Skein10.clsKvInetGeneralA' is registered in " + fromUtf8(registryPath().string()) +
                u" to /nonexistent/lib.so, which can't be loaded (" +
                fromUtf8(loadError->what()) +
                u") ('skein10 register --library FILE' registers a library's classes)");
  EXPECT_TRUE(CreateObject(ids::kProgIdKvInetAdvancedA));  // the installed store still serves the rest
  // The library that failed to load is not kept: unloading asks only loaded
  // ones (it once kept an empty entry, which this call then dereferenced).
  freeUnusedLibraries();
}

// The ProgIDs both stores register with a library, for hosts that list
// them (the shell completion): the user's first, each class once whatever
// the case of its name, and none a store names without a library.
TEST_F(Registration, RegisteredProgIdsListTheUsersStoreThenTheInstalledOne) {
  EXPECT_TRUE(registeredProgIds().empty());  // neither store exists
  const auto add = [](const std::filesystem::path& store, const char* progId, const char* classId, bool library) {
    RegistrationStore(store).update([&](auto& e) {
      e.insert_or_assign(std::string(progId) + "\\CLSID", classId);
      if (library) e.insert_or_assign("CLSID\\" + std::string(classId) + "\\InProcessServer", "lib.so");
    });
  };
  const std::filesystem::path installed = dir / "installed" / "registry";
  add(installed, "Skein10.clsKvInetGeneralA", "{A}", true);
  add(installed, "Skein10.clsKvInetAdvancedA", "{B}", true);
  add(registryPath(), "skein10.CLSKVINETGENERALA", "{C}", true);
  add(registryPath(), "Mine.Own", "{D}", true);
  add(registryPath(), "Half.Written", "{E}", false);
  EXPECT_EQ(registeredProgIds(),
            (std::vector<String>{u"Mine.Own", u"skein10.CLSKVINETGENERALA", u"Skein10.clsKvInetAdvancedA"}));
}

// Error 429 says why for every host: the ProgID and the stores searched.
TEST_F(Registration, Error429NamesTheProgIdAndTheStoresSearched) {
  const Error e = creationFailure(u"Nothing.Here");
  EXPECT_EQ(e.number(), errc::CantCreateObject);
  EXPECT_EQ(e.source(), u"skein10");
  EXPECT_EQ(e.description(), u"Can't create object: 'Nothing.Here' is not registered in " +
                                 fromUtf8(registryPath().string()) + u" or " +
                                 fromUtf8((dir / "installed" / "registry").string()) +
                                 u" ('skein10 register --library FILE' registers a library's classes)");
}

TEST_F(Registration, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 2, kEntries = 40;
  pid_t children[kWriters];
  for (int w = 0; w < kWriters; ++w) {
    children[w] = ::fork();
    if (children[w] == 0) {
      for (int i = 0; i < kEntries; ++i)
        RegistrationStore(registryPath()).update([&](auto& e) {
          // A whole string moved in: GCC 12 at -O3 misreads assigning the literal here (-Wrestrict).
          e.insert_or_assign("writer" + std::to_string(w) + "\\" + std::to_string(i), std::string("x"));
        });
      if (w == 0) registerLibrary(SKEIN10_LIBRARY);
      if (w == 1) registerLibrary(KVMARROW10_LIBRARY);
      ::_exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const auto entries = RegistrationStore(registryPath()).read();
  for (int w = 0; w < kWriters; ++w)
    for (int i = 0; i < kEntries; ++i)
      EXPECT_TRUE(entries.count("writer" + std::to_string(w) + "\\" + std::to_string(i)));
  EXPECT_TRUE(CreateObject(ids::kProgIdKvSkein10A));
  EXPECT_TRUE(CreateObject(u"KvMarrow10.clsKvMarrow10A"));
}

TEST_F(Registration, CanUnloadOnlyWithoutLiveObjectsOrLocks) {
  dropEarlierState();
  LoadedLibrary library(SKEIN10_LIBRARY);
  const auto canUnload = library.entryPoint<DllCanUnloadNowFn>("DllCanUnloadNow");
  const auto getClassObject = library.entryPoint<DllGetClassObjectFn>("DllGetClassObject");
  EXPECT_EQ(canUnload(), Status::Ok);

  Ref<ClassFactory> factory;
  check(getClassObject(ids::kClsKvInetFTPConnection, &factory));
  EXPECT_EQ(canUnload(), Status::False);  // the factory is alive
  ObjectRef session;
  check(factory->CreateInstance(&session));
  check(factory->LockServer(true));
  factory.reset();
  EXPECT_EQ(canUnload(), Status::False);  // the session is alive
  session.reset();
  EXPECT_EQ(canUnload(), Status::False);  // still locked
  // The lock is the library's, not the factory's: take it through a new factory.
  check(getClassObject(ids::kClsKvInetFTPConnection, &factory));
  check(factory->LockServer(false));
  factory.reset();
  EXPECT_EQ(canUnload(), Status::Ok);

  Ref<ClassFactory> none;
  EXPECT_EQ(getClassObject(u"{00000000-0000-0000-0000-000000000000}", &none), Status::Failed);
  EXPECT_EQ(takeError().number(), errc::CantCreateObject);
}

TEST_F(Registration, TheRuntimeUnloadsOnlyUnusedLibraries) {
  dropEarlierState();
  registerLibrary(SKEIN10_LIBRARY);
  ObjectRef generalA = CreateObject(ids::kProgIdKvInetGeneralA);
  EXPECT_EQ(freeUnusedLibraries(), 0);
  generalA.reset();
  EXPECT_EQ(freeUnusedLibraries(), 1);
  EXPECT_TRUE(CreateObject(ids::kProgIdKvInetAdvancedA));  // loads again
}

}  // namespace
