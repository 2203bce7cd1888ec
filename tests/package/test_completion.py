"""The bash completion of skein10 in a bash with bash-completion loaded, the
way a shell calls it: the command line split into words as readline splits
it (a URL's ":" is a word of its own), the completion function called, its
candidates read back. Local names come from a scratch folder."""

import re
import subprocess

import pytest

BASH_COMPLETION = "/usr/share/bash-completion/bash_completion"
# What readline splits words at besides blanks (bash's COMP_WORDBREAKS).
WORD_BREAKS = "\"'><=;|&(:"

COMMANDS = {"register", "unregister", "call", "ftp", "browser", "cache", "about", "help"}
STEPS = {"cd", "mkdir", "rmdir", "rm", "mv", "type", "ls", "get", "put"}
FTP_OPTIONS = {"-u", "--user", "--netrc", "--ascii", "--mode", "--timeout", "--log", "--progress", "--quiet",
               "--ssl-reqd", "--cacert"}
LOCAL_FILES = {"notes.txt", "site"}
LOCAL_FOLDERS = {"site"}


def comp_words(line):
    """COMP_WORDS and COMP_CWORD for the cursor at the end of `line`."""
    words = []
    for token in re.findall(r"[^\s" + re.escape(WORD_BREAKS) + r"]+|[" + re.escape(WORD_BREAKS) + r"]+",
                            line):
        words.append(token)
    if line.endswith(" "):
        words.append("")
    return words, len(words) - 1


@pytest.fixture(scope="module")
def complete(installed, tmp_path_factory):
    folder = tmp_path_factory.mktemp("cwd")
    (folder / "notes.txt").write_text("notes\n")
    (folder / "site").mkdir()
    program_folder = installed.program.parent

    def candidates(line):
        words, cword = comp_words(line)
        script = "\n".join([
            f"source {BASH_COMPLETION}",
            f"source '{installed.completion}'",
            "COMP_WORDS=(" + " ".join("'" + word + "'" for word in words) + ")",
            f"COMP_CWORD={cword}",
            "COMP_LINE=\"$LINE\"; COMP_POINT=${#COMP_LINE}",
            "COMPREPLY=()",
            '_skein10 skein10 "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"',
            "printf '%s\\n' \"${COMPREPLY[@]}\"",
        ])
        env = {**installed.env, "PATH": f"{program_folder}:{installed.env['PATH']}", "LINE": line}
        result = subprocess.run(["bash", "-c", script], cwd=folder, env=env, capture_output=True, text=True,
                                timeout=60)
        assert result.returncode == 0, result.stderr
        return {word for word in result.stdout.splitlines() if word}

    return candidates


@pytest.mark.parametrize("line, wanted", [
    ("skein10 ", COMMANDS),
    ("skein10 c", {"call", "cache"}),
    ("skein10 --", {"--help", "--version"}),
    ("skein10 help ", COMMANDS),
    ("skein10 cache ", {"has", "add", "remove", "list"}),
    ("skein10 ftp -", FTP_OPTIONS | {"--help"}),
    ("skein10 ftp --mode ", {"PASV", "PORT"}),
    ("skein10 ftp ftp://alice@127.0.0.1:2121/pub/ ", STEPS),
    ("skein10 ftp ftp://alice@127.0.0.1:2121/pub/ --ssl-reqd cd in ", STEPS),
    ("skein10 ftp ftp://127.0.0.1 type ", {"binary", "ascii"}),
    ("skein10 ftp ftp://127.0.0.1 ls -", {"-o", "--output"}),
])
def test_commands_options_steps_and_their_values(complete, line, wanted):
    assert complete(line) == wanted


@pytest.mark.parametrize("line, wanted", [
    ("skein10 ftp --cacert ", LOCAL_FILES),
    ("skein10 ftp ftp://alice@127.0.0.1:2121/pub/ get big.bin ", LOCAL_FILES),
    ("skein10 ftp ftp://127.0.0.1 get -r pub/data ", LOCAL_FOLDERS),
    ("skein10 ftp ftp://127.0.0.1 put n", {"notes.txt"}),
    ("skein10 ftp ftp://127.0.0.1 ls -o ", LOCAL_FILES),
    ("skein10 register --library ", LOCAL_FILES),
    # Remote names are the server's: no local name fits.
    ("skein10 ftp ftp://127.0.0.1 cd ", set()),
    ("skein10 ftp ftp://127.0.0.1 put notes.txt ", set()),
])
def test_local_names_only_for_local_operands(complete, line, wanted):
    assert complete(line) == wanted


def test_call_offers_the_installed_progids_then_the_members_of_the_class(complete):
    progids = complete("skein10 call ")
    assert {"Skein10.clsKvInetFTPConnection", "Skein10.clsKvInetURLCacheA", "Skein10.clsKvSkein10A",
            "KvMarrow10.clsKvMarrow10A"} <= progids
    assert complete("skein10 call Skein10.clsKvInetF") == {"Skein10.clsKvInetFTPConnection"}
    members = complete("skein10 call Skein10.clsKvInetFTPConnection ")
    assert {"Connect", "GetFile", "PutFile", "TimeOut", "LogData"} <= members
    assert complete("skein10 call Skein10.clsKvInetFTPConnection Get") == {"GetFile"}
    assert complete("skein10 call Skein10.NoSuchClass ") == set()
