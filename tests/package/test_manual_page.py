"""The manual page skein10(1) against the program's own --help: the same
sections, commands, options and exit statuses (both are written from one
table, so a difference means one of them lost something), and a page that
groff formats without a warning."""

import re
import subprocess

import pytest

SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "COMMANDS", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "FILES",
            "EXAMPLES"]
# An option as written in the text: "-u", "--ssl-reqd", not the "-" of "ls -l" inside a word.
OPTION = re.compile(r"(?<![\w-])--?[a-z][a-z-]*")


def sections(text):
    """The text's sections by title: a title is a line in capitals at the margin."""
    found, title = {}, None
    for line in text.splitlines():
        if re.fullmatch(r"[A-Z][A-Z ]+", line):
            title = line
            found[title] = []
        elif title:
            found[title].append(line)
    return found


def terms(lines, indent):
    """The first word of each line indented by exactly `indent`: the terms of a list."""
    return [line.split()[0] for line in lines if re.match(" " * indent + r"\S", line)]


@pytest.fixture(scope="module")
def page(installed):
    result = subprocess.run(["man", "-l", str(installed.manpage)], capture_output=True, text=True,
                            env={**installed.env, "MANWIDTH": "80"}, timeout=60, check=True)
    return result.stdout


@pytest.fixture(scope="module")
def manual(installed):
    result = installed.run("--help")
    assert result.returncode == 0, result.stderr
    return result.stdout


def test_the_page_has_every_section_in_the_order_of_the_help(page, manual):
    assert list(sections(page)) == SECTIONS
    assert list(sections(manual)) == SECTIONS
    assert "skein10 - use the Skein10 components" in page


def test_the_page_and_the_help_list_the_same_commands(page, manual):
    # The man macros indent a list's terms by 7 columns, the help by 4.
    commands = terms(sections(manual)["COMMANDS"], 4)
    assert terms(sections(page)["COMMANDS"], 7) == commands
    assert {"register", "call", "ftp", "cache", "help"} <= set(commands)


def test_the_page_shows_every_option_of_the_help_and_of_each_command(installed, page, manual):
    options = set(OPTION.findall(page))
    assert options == set(OPTION.findall(manual))
    for command in terms(sections(manual)["COMMANDS"], 4):
        result = installed.run(command, "--help")
        assert result.returncode == 0, result.stderr
        assert set(OPTION.findall(result.stdout)) <= options, command
    assert {"--library", "--cacert", "--ssl-reqd", "--user", "-u", "--output", "-r", "--help", "--version"} <= options


def test_the_page_and_the_help_give_every_exit_status(page, manual):
    def statuses(lines, indent):
        return [term for term in terms(lines, indent) if term.isdigit()]

    listed = statuses(sections(manual)["EXIT STATUS"], 4)
    assert statuses(sections(page)["EXIT STATUS"], 7) == listed
    assert {"0", "1", "2", "7", "23", "67", "78"} <= set(listed)


def test_the_page_names_the_environment_and_both_stores(installed, page):
    found = sections(page)
    for variable in ("SKEIN10_REGISTRY", "SKEIN10_INSTALLED_REGISTRY", "SSL_CERT_FILE"):
        assert variable in terms(found["ENVIRONMENT"], 7)
    files = terms(found["FILES"], 7)
    assert "${XDG_CONFIG_HOME:-$HOME/.config}/skein10/registry" in files
    installed_store = [name for name in files if name.startswith("/") and name.endswith("/skein10/registry")]
    assert len(installed_store) == 1, files
    if installed.root:
        assert installed_store[0] == f"/{installed.libdir}/skein10/registry"
        assert (installed.root / installed_store[0].lstrip("/")).is_file()


def test_groff_formats_the_page_without_a_warning(installed):
    # What lintian runs on every manual page.
    result = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", str(installed.manpage)],
                            capture_output=True, text=True, env=installed.env, timeout=60)
    assert result.returncode == 0
    assert result.stderr == ""
