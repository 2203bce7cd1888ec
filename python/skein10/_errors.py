"""The exceptions of skein10: every failure is a skein10.Error; its cause
also shows in its type, so that ``except TimeoutError`` and the like work.

The cause comes from the runtime's classification of the failure (its
``Failure`` kind), never from the message's words.
"""

from typing import Optional


class Error(Exception):
    """A component's failure: ``number``, ``source`` and ``description`` as
    the runtime raised them; ``reply`` is the server's reply line when a reply
    caused the failure (``"550 No such file"``), else None; ``command`` the
    verb of the command it belongs to (``"RETR"``), else None.
    ``str(e)`` is ``"error N (SOURCE): DESCRIPTION"``."""

    number: int
    source: str
    description: str
    reply: Optional[str]
    command: Optional[str]

    def __str__(self) -> str:
        return str(self.args[0]) if self.args else ""


class SessionTimeoutError(Error, TimeoutError):
    """The server did not answer within the session's TimeOut."""


class SessionConnectionError(Error, ConnectionError):
    """The control connection was refused, reset or closed, the server's name
    did not resolve, or TLS failed (a refused certificate included)."""


class LocalFileNotFoundError(Error, FileNotFoundError):
    """A local file or its folder is not there (error 53)."""


class LocalPermissionError(Error, PermissionError):
    """A local file may not be opened so (error 70)."""


class LocalFileError(Error, OSError):
    """Any other local file error (disk full, path not found, ...)."""


class WrongThreadError(Error, RuntimeError):
    """An object was used on another thread than its own (error 1001)."""


_BY_KIND = {
    "TimedOut": SessionTimeoutError,
    "HostNotFound": SessionConnectionError,
    "Connection": SessionConnectionError,
    "Tls": SessionConnectionError,
    "WrongThread": WrongThreadError,
}

_LOCAL_FILE = {53: LocalFileNotFoundError, 70: LocalPermissionError}


def _class_for(kind: str, number: int) -> type:
    if kind == "LocalFile":
        return _LOCAL_FILE.get(number, LocalFileError)
    return _BY_KIND.get(kind, Error)


def _make(number: int, source: str, description: str, message: str, kind: str,
          command: Optional[str], reply: Optional[str]) -> Error:
    """The exception for one runtime error (called by the compiled part)."""
    error = _class_for(kind, number)(message)
    error.number = number
    error.source = source
    error.description = description
    error.command = command
    error.reply = reply
    return error


for _class in (Error, SessionTimeoutError, SessionConnectionError, LocalFileNotFoundError,
               LocalPermissionError, LocalFileError, WrongThreadError):
    _class.__module__ = "skein10"
del _class
