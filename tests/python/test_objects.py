"""Creation, members classified from the type information, values both ways,
arguments by position and by name, collections and enumerations."""

import enum
import os
import pathlib

import pytest

import skein10

FTP = "Skein10.clsKvInetFTPConnection"
LIBRARY = "Skein10.clsKvSkein10A"
BROWSER = "Skein10.clsKvInetURLCacheA"


def test_every_class_is_created_without_registration_by_progid_or_class_identifier():
    for progid in ["Skein10.clsKvSkein10A", "Skein10.clsKvInetGeneralA", "Skein10.clsKvInetAdvancedA",
                   "Skein10.clsKvInetURLCacheA", "Skein10.clsKvInetFTPConnection"]:
        assert isinstance(skein10.Dispatch(progid), skein10.Object)
    assert skein10.CreateObject is skein10.Dispatch
    assert skein10.__version__ == "1.0.94"
    assert dir(skein10.Dispatch("Skein10.clsKvInetGeneralA")) == []


def test_error_429_names_the_progid_and_the_stores_searched():
    with pytest.raises(skein10.Error) as caught:
        skein10.Dispatch("No.Such.Class")
    e = caught.value
    assert (e.number, e.source, e.reply) == (429, "skein10", None)
    assert e.description.startswith("Can't create object: 'No.Such.Class' is not registered in ")
    assert os.environ["SKEIN10_REGISTRY"] in e.description
    assert "skein10/registry" in e.description
    assert str(e) == f"error 429 (skein10): {e.description}"
    assert type(e) is skein10.Error
    with pytest.raises(TypeError):
        skein10.Dispatch(429)


def test_members_are_classified_from_the_type_information():
    ftp = skein10.Dispatch(FTP)
    assert ftp.TimeOut == 20000                      # a property read returns its value
    assert isinstance(ftp.Disconnect, skein10.BoundMember)  # a method is only read
    assert ftp.Disconnect.name == "Disconnect"
    assert ftp.LogData == ""                         # reading Disconnect sent nothing
    library = skein10.Dispatch(LIBRARY)
    assert isinstance(library.GetProResStrings, skein10.BoundMember)  # a get with parameters
    assert isinstance(library.GetProStdProperties, skein10.Object)    # a get without: its value
    assert sorted(dir(ftp)) == sorted(["ConnectionMode", "TimeOut", "MaxLogSize", "LogData", "Connect",
                                       "Disconnect", "Rename", "ChangeDirectory", "MakeDirectory", "RemoveFile",
                                       "RemoveDirectory", "TransferType", "ListContents", "GetFile", "PutFile"])


def test_names_are_case_insensitive_and_nothing_is_created_silently():
    ftp = skein10.Dispatch(FTP)
    ftp.timeout = 1234
    assert ftp.TIMEOUT == 1234
    ftp.connectionmode = " port "
    assert ftp.ConnectionMode == "PORT"
    for name in ["LogData", "logdata"]:
        with pytest.raises(AttributeError, match="read-only"):
            setattr(ftp, name, "x")
    with pytest.raises(AttributeError):
        ftp.NoSuchMember
    with pytest.raises(AttributeError):
        ftp.NoSuchMember = 1
    with pytest.raises(AttributeError):
        ftp.__dict__
    assert not hasattr(ftp, "NoSuchMember")


@pytest.mark.parametrize("call, error", [
    (lambda f: f.Connect("a", "21", "u"), "missing required argument 'ePass'"),
    (lambda f: f.Connect("a", "21", "u", "p", "extra"), "takes 4 arguments but 5 were given"),
    (lambda f: f.Connect("a", "21", "u", "p", ePort="21"), "multiple values for argument 'ePort'"),
    (lambda f: f.Connect("a", "21", "u", ePassword="p"), "unexpected keyword argument 'ePassword'"),
    (lambda f: f.ChangeDirectory(3.5), "must be str or os.PathLike, not float"),
    (lambda f: f.TransferType("binary"), "must be int, not str"),
    (lambda f: setattr(f, "TimeOut", "soon"), "must be int, not str"),
])
def test_wrong_arguments_raise_type_error_before_the_member_runs(call, error):
    ftp = skein10.Dispatch(FTP)
    with pytest.raises(TypeError, match=error):
        call(ftp)
    assert ftp.LogData == ""


@pytest.mark.parametrize("value", [2**31, -2**31 - 1, 2**70])
def test_a_number_beyond_32_bits_raises_overflow_error(value):
    ftp = skein10.Dispatch(FTP)
    with pytest.raises(OverflowError):
        ftp.TimeOut = value
    with pytest.raises(OverflowError):
        ftp.TransferType(value)
    ftp.TimeOut = 2**31 - 1
    assert ftp.TimeOut == 2**31 - 1


def test_arguments_by_name_reach_their_parameters_in_any_order_and_case():
    library = skein10.Dispatch(LIBRARY)
    data = library.GetProResData(vRestype="TYPELIB", lResId=1)
    assert isinstance(data, bytes) and data.startswith(b"library Skein10 1.0")
    assert library.GetProResData(1, VRESTYPE="typelib") == data
    with pytest.raises(skein10.Error) as caught:
        library.GetProResStrings(lResId=101)
    assert caught.value.number == 326
    with pytest.raises(skein10.Error) as caught:
        library.GetProResPicture(1, 40000)   # fits a Long; the member itself overflows its 16 bits
    assert caught.value.number == 6


def test_let_takes_values_and_set_takes_objects():
    library = skein10.Dispatch(LIBRARY)
    assert library.BuddyObjectGlobal is None
    parked = skein10.Dispatch("Skein10.clsKvInetGeneralA")
    library.BuddyObjectGlobal = parked
    assert library.BuddyObjectGlobal == parked
    assert skein10.Dispatch(LIBRARY).BuddyObjectGlobal == parked   # the thread's one slot
    with pytest.raises(TypeError):
        library.BuddyObjectGlobal = "not an object"
    library.BuddyObjectGlobal = None
    assert library.BuddyObjectGlobal is None


def test_every_object_a_member_returns_is_the_same_dynamic_type():
    app = skein10.Dispatch(LIBRARY).GetProStdProperties
    assert type(app) is skein10.Object
    assert (app.EXEName, app.Major, app.Minor, app.Revision) == ("skein10", 1, 0, 94)


def test_collections_count_index_from_one_look_up_keys_and_iterate_in_order():
    folders = skein10.Dispatch(BROWSER).colUserInformation
    assert len(folders) == folders.Count == 4
    items = list(folders)
    assert items[1] == folders[2] == folders.Item(2) == folders["CookiesDir"] == folders["cookiesdir"]
    assert items[0] == folders[1] == folders["UserProfileDir"]
    assert items[1].endswith("\\Cookies")
    with pytest.raises(IndexError):
        folders[0]
    with pytest.raises(IndexError):
        folders[5]
    with pytest.raises(KeyError):
        folders["NoSuchKey"]
    with pytest.raises(TypeError):
        len(skein10.Dispatch(FTP))


def test_enumerations_are_int_enums_and_constants():
    assert issubclass(skein10.TransferModes, enum.IntEnum)
    assert skein10.TransferModes.ftp_BINARY == 0 and skein10.TransferModes.ftp_ASCII == 1
    assert skein10.ErrorReturns.ERR_OK == 0 and skein10.ErrorReturns.ERR_Returned == 1
    assert skein10.constants.ftp_ASCII is skein10.TransferModes.ftp_ASCII
    assert skein10.constants.ERR_Returned is skein10.ErrorReturns.ERR_Returned


def test_values_round_trip_exactly_text_included_with_lone_surrogates():
    values = [None, True, False, 0, -7, 2**31 - 1, 1.5, "", "grüße 東京 🎉", "caf\udce9", "\udcff\udc80",
              "a\x00b", b"\x00\xff", bytearray(b"ab"), [1, "two", [None, 2.5]], (3, 4)]
    expected = [bytes(v) if isinstance(v, bytearray) else list(v) if isinstance(v, tuple) else v for v in values]
    names = skein10.Dispatch(BROWSER).colCookiesFiles
    for i, value in enumerate(values):
        names.Add(value, f"k{i}")
    for i, want in enumerate(expected):
        got = names[f"k{i}"]
        assert got == want and type(got) is type(want)
    with pytest.raises(TypeError):
        names.Add(object())


def test_os_pathlike_is_accepted_where_a_member_takes_a_local_file_name(tmp_path):
    ftp = skein10.Dispatch(FTP)
    with pytest.raises(FileNotFoundError):
        ftp.PutFile("remote", tmp_path / "missing.bin")   # the local file is looked at first
    with pytest.raises(FileNotFoundError):
        ftp.PutFile("remote", os.fsencode(tmp_path / "missing\xe9.bin").decode("utf-8", "surrogateescape"))


def test_the_type_information_names_every_parameter():
    info = skein10._skein10.type_info(skein10.Dispatch(FTP))
    assert info["name"] == "_clsKvInetFTPConnection"
    connect = next(m for m in info["members"] if m["name"] == "Connect")
    assert [p[0] for p in connect["params"]] == ["eServer", "ePort", "eLogin", "ePass"]
    assert connect["id"] == 0x60030006 and connect["kind"] == "method" and connect["result"] == "Variant"
