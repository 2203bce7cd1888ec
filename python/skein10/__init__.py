"""skein10 from Python: create the Skein10 components by ProgID and call
their members late-bound, as a scripting host does.

    import skein10

    with skein10.Dispatch("Skein10.clsKvInetFTPConnection") as ftp:
        ftp.Connect("127.0.0.1", "21", "user", "secret")
        ftp.TransferType(skein10.TransferModes.ftp_BINARY)
        ftp.GetFile("remote.bin", "local.bin")

docs/PYTHON.md is the guide: values, errors, threads, Ctrl-C, typing.
"""

import enum as _enum

from . import _typelib
from ._errors import (Error, LocalFileError, LocalFileNotFoundError, LocalPermissionError,
                      SessionConnectionError, SessionTimeoutError, WrongThreadError)
from ._skein10 import BoundMember, Every, Object, create as _create, every, pump

__version__ = _typelib.VERSION


def Dispatch(progid):
    """A new instance of the class named by ``progid`` ("Skein10." and the
    class name, or its class identifier); skein10.Error 429 when it can't be
    created, its description saying why."""
    return _create(progid)


CreateObject = Dispatch


def _enumeration(name, members):
    return _enum.IntEnum(name, members, module=__name__)


for _name, _members in _typelib.ENUMERATIONS.items():
    globals()[_name] = _enumeration(_name, _members)


class constants:
    """Every enumeration member by its own name (``constants.ftp_BINARY``)."""


for _name in _typelib.ENUMERATIONS:
    for _member in globals()[_name]:
        setattr(constants, _member.name, _member)

del _name, _members, _member

__all__ = ["BoundMember", "CreateObject", "Dispatch", "Error", "Every", "LocalFileError",
           "LocalFileNotFoundError", "LocalPermissionError", "Object", "SessionConnectionError",
           "SessionTimeoutError", "WrongThreadError", "constants", "every", "pump",
           *_typelib.ENUMERATIONS]
