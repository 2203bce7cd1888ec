// A host that links only the runtime: it registers the built libraries in a
// private store and reaches the five classes by ProgID.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "skein10/Skein10.h"
#include "support/PyftpdlibServer.h"
#include "support/ServerSkip.h"
#include "support/TempDir.h"

using namespace skein10;

namespace {

class ClassSurface : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    store = std::filesystem::temp_directory_path() /
            ("skein10-surface-" + std::to_string(::getpid())) / "registry";
    ::setenv("SKEIN10_REGISTRY", store.c_str(), 1);
    ::setenv("SKEIN10_URLCACHE", (store.parent_path() / "urlcache").c_str(), 1);
    registerLibrary(SKEIN10_LIBRARY);
    registerLibrary(KVMARROW10_LIBRARY);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(store.parent_path()); }
  static inline std::filesystem::path store;
};

struct Row {
  const char16_t* name;
  MemberKind kind;
  DispId id;
  // The parameters' names; the new value of a let or set has none.
  std::vector<String> params = {};
};

void expectInterface(const char16_t* progId, const char16_t* interfaceName, std::vector<Row> rows) {
  SCOPED_TRACE(toUtf8(progId));
  const ObjectRef object = CreateObject(progId);
  const InterfaceInfo& info = object->interfaceInfo();
  EXPECT_EQ(info.name, interfaceName);
  ASSERT_EQ(info.members.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(toUtf8(rows[i].name));
    EXPECT_EQ(info.members[i].name, rows[i].name);
    EXPECT_EQ(info.members[i].kind, rows[i].kind);
    EXPECT_EQ(info.members[i].id, rows[i].id);
    std::vector<String> names;
    for (const ParamInfo& p : info.members[i].params)
      if (!p.name.empty()) names.push_back(p.name);
    EXPECT_EQ(names, rows[i].params);
  }
}

TEST_F(ClassSurface, InterfacesHaveTheirMembersInOrderWithTheirDispatchIdsAndParameterNames) {
  using K = MemberKind;
  expectInterface(ids::kProgIdKvSkein10A, u"_clsKvSkein10A",
                  {{u"GetProStdProperties", K::Get, 0x68030004},
                   {u"GetProResStrings", K::Get, 0x68030003, {u"lResId"}},
                   {u"GetProResPicture", K::Get, 0x68030002, {u"lResId", u"lRestype"}},
                   {u"GetProResData", K::Get, 0x68030001, {u"lResId", u"vRestype"}},
                   {u"About", K::Method, 0x60030006},
                   {u"BuddyObjectGlobal", K::Get, 0x68030000},
                   {u"BuddyObjectGlobal", K::Set, 0x68030000}});
  expectInterface(ids::kProgIdKvInetGeneralA, u"_clsKvInetGeneralA", {});
  expectInterface(ids::kProgIdKvInetAdvancedA, u"_clsKvInetAdvancedA", {});
  expectInterface(ids::kProgIdKvInetURLCacheA, u"_clsKvInetURLCacheA",
                  {{u"colUserInformation", K::Get, 0x40030000},
                   {u"colUserInformation", K::Set, 0x40030000},
                   {u"colCookiesFiles", K::Get, 0x40030001},
                   {u"colCookiesFiles", K::Set, 0x40030001},
                   {u"UserInformation", K::Method, 0x60030001},
                   {u"GetCookiesFiles", K::Method, 0x60030002},
                   {u"GetCacheEntryInfoPro", K::Method, 0x60030003, {u"lWhnd", u"sUrl"}}});
  expectInterface(ids::kProgIdKvInetFTPConnection, u"_clsKvInetFTPConnection",
                  {{u"ConnectionMode", K::Get, 0x68030003}, {u"ConnectionMode", K::Let, 0x68030003},
                   {u"TimeOut", K::Get, 0x68030002},        {u"TimeOut", K::Let, 0x68030002},
                   {u"MaxLogSize", K::Get, 0x68030001},     {u"MaxLogSize", K::Let, 0x68030001},
                   {u"LogData", K::Get, 0x68030000},        {u"Connect", K::Method, 0x60030006, {u"eServer", u"ePort", u"eLogin", u"ePass"}},
                   {u"Disconnect", K::Method, 0x60030007},  {u"Rename", K::Method, 0x60030008, {u"SourceFileName", u"DestFileName"}},
                   {u"ChangeDirectory", K::Method, 0x60030009, {u"ToFolder"}},
                   {u"MakeDirectory", K::Method, 0x6003000A, {u"NewFolder"}},
                   {u"RemoveFile", K::Method, 0x6003000B, {u"FileName"}},
                   {u"RemoveDirectory", K::Method, 0x6003000C, {u"FolderName"}},
                   {u"TransferType", K::Method, 0x6003000D, {u"TransType"}},
                   {u"ListContents", K::Method, 0x6003000E, {u"LocalFileName"}},
                   {u"GetFile", K::Method, 0x6003000F, {u"RemoteFileName", u"LocalFileName"}},
                   {u"PutFile", K::Method, 0x60030010, {u"RemoteFileName", u"LocalFileName"}}});
}

Variant invokeId(Object& object, DispId id, InvokeKind kind, std::vector<Variant> args = {}) {
  Variant result;
  check(object.Invoke(id, kind, args, &result));
  return result;
}

TEST_F(ClassSurface, OneDispatchIdReachesDifferentMembersOnTwoInterfaces) {
  const ObjectRef library = CreateObject(ids::kProgIdKvSkein10A);
  const ObjectRef ftp = CreateObject(ids::kProgIdKvInetFTPConnection);
  const Variant buddy = invokeId(*library, 0x68030000, InvokeKind::Get);
  EXPECT_EQ(buddy.type(), VarType::Object);  // BuddyObjectGlobal: nothing yet
  EXPECT_FALSE(buddy.toObject());
  EXPECT_EQ(invokeId(*ftp, 0x68030000, InvokeKind::Get), Variant(u""));  // LogData
}

TEST_F(ClassSurface, ClassesWithoutMembersRefuseEveryCall) {
  for (const char16_t* progId : {ids::kProgIdKvInetGeneralA, ids::kProgIdKvInetAdvancedA}) {
    const ObjectRef object = CreateObject(progId);
    try {
      call(*object, u"Anything");
      ADD_FAILURE();
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errc::MemberNotFound);
    }
  }
}

TEST_F(ClassSurface, LibraryObjectDirectlyAndLateBound) {
  const ObjectRef object = CreateObject(ids::kProgIdKvSkein10A);
  const auto library = as<_clsKvSkein10A>(object);

  ObjectRef app;
  check(library->get_GetProStdProperties(&app));
  EXPECT_EQ(call(*app, u"EXEName"), Variant(u"skein10"));
  EXPECT_EQ(call(*call(*object, u"GetProStdProperties").toObject(), u"Major").toLong(), 1);

  // A failing get hands back the empty value with the error.
  String text = u"stale";
  EXPECT_EQ(library->get_GetProResStrings(1, &text), Status::Failed);
  EXPECT_EQ(text, u"");
  EXPECT_EQ(takeError().number(), errc::ResourceNotFound);

  // By-reference arguments stay as the caller had them.
  std::vector<Variant> args{Variant(u"1"), Variant(int32_t(40000))};
  Variant picture = Variant(u"stale");
  EXPECT_EQ(object->Invoke(0x68030002, InvokeKind::Get, args, &picture), Status::Failed);
  EXPECT_EQ(takeError().number(), errc::Overflow);
  EXPECT_TRUE(picture.isEmpty());
  EXPECT_EQ(args[0], Variant(u"1"));
  EXPECT_EQ(args[1], Variant(int32_t(40000)));

  Variant data;
  check(library->get_GetProResData(1, Variant(int32_t(16)), &data));
  EXPECT_EQ(call(*object, u"GetProResData", {int32_t(1), int32_t(16)}), data);

  testing::internal::CaptureStdout();
  int32_t about = -1;
  check(library->About(&about));
  EXPECT_EQ(call(*object, u"About"), Variant(int32_t(0)));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(about, 0);

  check(library->putref_BuddyObjectGlobal(app));
  EXPECT_EQ(call(*CreateObject(ids::kProgIdKvSkein10A), u"BuddyObjectGlobal").toObject().get(), app.get());
  assign(*object, u"BuddyObjectGlobal", Variant(ObjectRef()), InvokeKind::Set);
  ObjectRef buddy = app;
  check(library->get_BuddyObjectGlobal(&buddy));
  EXPECT_FALSE(buddy);
}

TEST_F(ClassSurface, FtpSessionDirectlyAndLateBound) {
  const ObjectRef object = CreateObject(ids::kProgIdKvInetFTPConnection);
  const auto ftp = as<_clsKvInetFTPConnection>(object);
  check(ftp->put_ConnectionMode(u" port "));
  String mode;
  check(ftp->get_ConnectionMode(&mode));
  EXPECT_EQ(mode, u"PORT");
  assign(*object, u"ConnectionMode", Variant(u"pasv"));
  EXPECT_EQ(call(*object, u"ConnectionMode"), Variant(u"PASV"));
  check(ftp->put_TimeOut(1500));
  EXPECT_EQ(call(*object, u"timeout"), Variant(int32_t(1500)));
  assign(*object, u"MaxLogSize", Variant(u"500"));
  int32_t maxLog = 0;
  check(ftp->get_MaxLogSize(&maxLog));
  EXPECT_EQ(maxLog, 500);
  String transfer = u"stale";
  check(ftp->TransferType(TransferModes(2), &transfer));  // sends nothing
  EXPECT_EQ(transfer, u"");
  EXPECT_EQ(call(*object, u"TransferType", {int32_t(7)}), Variant(u""));

  // Not connected: the members that talk to the server fail, directly and late-bound.
  Variant unused;
  EXPECT_EQ(ftp->Disconnect(&unused), Status::Failed);
  EXPECT_NE(takeError().number(), 0);
  EXPECT_THROW(call(*object, u"Connect", {Variant(u"127.0.0.1"), Variant(u"abc"), Variant(u"u"),
                                          Variant(u"p")}),
               Error);
}

TEST_F(ClassSurface, BrowserDataDirectlyAndLateBound) {
  const ObjectRef object = CreateObject(ids::kProgIdKvInetURLCacheA);
  const auto cache = as<_clsKvInetURLCacheA>(object);
  Ref<Collection> folders;
  check(cache->get_colUserInformation(&folders));
  ASSERT_TRUE(folders);
  EXPECT_EQ(folders->count(), 4);
  EXPECT_EQ(call(*call(*object, u"colUserInformation").toObject(), u"Count"), Variant(int32_t(4)));

  testing::internal::CaptureStderr();
  check(cache->UserInformation());  // the four keys are there already: four reports
  call(*object, u"UserInformation");
  check(cache->GetCookiesFiles());
  call(*object, u"GetCookiesFiles");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(folders->count(), 4);

  // Assigning a collection, or nothing (a fresh empty one comes on next use).
  auto mine = makeRef<Collection>();
  check(cache->putref_colCookiesFiles(mine));
  Ref<Collection> cookies;
  check(cache->get_colCookiesFiles(&cookies));
  EXPECT_EQ(cookies.get(), mine.get());
  assign(*object, u"colCookiesFiles", Variant(ObjectRef()), InvokeKind::Set);
  check(cache->putref_colUserInformation(Ref<Collection>()));
  assign(*object, u"colUserInformation", Variant(mine), InvokeKind::Set);
  EXPECT_EQ(call(*object, u"colUserInformation").toObject().get(), mine.get());

  bool found = true;
  int32_t window = 0;
  check(cache->GetCacheEntryInfoPro(window, u"http://127.0.0.1/never-cached", &found));
  EXPECT_FALSE(found);
  std::vector<Variant> args{int32_t(3), Variant(u"http://127.0.0.1/never-cached")};
  Variant late;
  check(object->Invoke(0x60030003, InvokeKind::Method, args, &late));
  EXPECT_EQ(late, Variant(false));
  EXPECT_EQ(args[0], Variant(int32_t(3)));
}

}  // namespace

namespace {

std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every member of the FTP session once through the typed interface and once
// late-bound, against a real server.
TEST_F(ClassSurface, FtpMembersDirectlyAndLateBoundAgainstARealServer) {
  SKEIN10_SKIP_WITHOUT(test::PyftpdlibServer);
  test::PyftpdlibServer server;
  test::TempDir local;
  { std::ofstream(local / "up.txt") << "payload"; }
  const String up = fromUtf8((local / "up.txt").string());

  const ObjectRef object = CreateObject(ids::kProgIdKvInetFTPConnection);
  const auto ftp = as<_clsKvInetFTPConnection>(object);
  Variant v;
  String s;
  check(ftp->put_TimeOut(20000));
  check(ftp->Connect(u"127.0.0.1", server.portText(), server.user(), server.password(), &v));
  check(ftp->ChangeDirectory(server.home(), &v));
  check(ftp->MakeDirectory(u"typed", &v));
  call(*object, u"MakeDirectory", {Variant(u"late")});
  check(ftp->RemoveDirectory(u"typed", &v));
  call(*object, u"RemoveDirectory", {Variant(u"late")});
  check(ftp->TransferType(ftp_BINARY, &s));
  call(*object, u"TransferType", {int32_t(ftp_ASCII)});
  call(*object, u"TransferType", {int32_t(ftp_BINARY)});

  check(ftp->PutFile(u"a.txt", up, &s));
  call(*object, u"PutFile", {Variant(u"b.txt"), Variant(up)});
  check(ftp->Rename(u"a.txt", u"c.txt", &s));
  call(*object, u"Rename", {Variant(u"b.txt"), Variant(u"d.txt")});
  check(ftp->GetFile(u"c.txt", fromUtf8((local / "c.txt").string()), &s));
  call(*object, u"GetFile", {Variant(u"d.txt"), Variant(fromUtf8((local / "d.txt").string()))});
  EXPECT_EQ(fileText(local / "c.txt"), "payload");
  EXPECT_EQ(fileText(local / "d.txt"), "payload");
  check(ftp->ListContents(fromUtf8((local / "list1").string()), &s));
  call(*object, u"ListContents", {Variant(fromUtf8((local / "list2").string()))});
  EXPECT_NE(fileText(local / "list1").find("c.txt"), std::string::npos);
  EXPECT_NE(fileText(local / "list2").find("d.txt"), std::string::npos);
  check(ftp->RemoveFile(u"c.txt", &v));
  call(*object, u"RemoveFile", {Variant(u"d.txt")});
  EXPECT_FALSE(std::filesystem::exists(server.root() / "c.txt"));
  EXPECT_FALSE(std::filesystem::exists(server.root() / "d.txt"));

  String log;
  check(ftp->get_LogData(&log));
  EXPECT_EQ(call(*object, u"LogData"), Variant(log));
  EXPECT_NE(log.find(u"PASS ********\r\n"), String::npos);
  check(ftp->Disconnect(&v));
  check(ftp->Connect(u"127.0.0.1", server.portText(), server.user(), server.password(), &v));
  call(*object, u"Disconnect");
}

}  // namespace
