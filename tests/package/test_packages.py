"""The Debian packages of build/package (./run check-packages): what each
holds, its control fields and control files, lintian's verdict, and that the
unpacked binaries run with no RPATH and no registration."""

import re
import subprocess

import pytest

from conftest import project_version

VERSION = project_version()

# What each package must hold (below its root, the multiarch library folder
# written LIBDIR), and the folders it may hold anything in.
EXPECTED = {
    "libskein10rt1": {
        "holds": ["LIBDIR/libskein10rt.so.1", f"LIBDIR/libskein10rt.so.{VERSION}", "LIBDIR/skein10/libskein10.so",
                  "LIBDIR/skein10/libkvmarrow10.so", "LIBDIR/skein10/registry"],
        "within": ["LIBDIR/libskein10rt.so.", "LIBDIR/skein10/"],
        "section": "libs",
    },
    "libskein10-dev": {
        "holds": ["usr/include/skein10/Automation.h", "usr/include/skein10/Component.h", "LIBDIR/libskein10rt.so",
                  "LIBDIR/cmake/Skein10/Skein10Config.cmake", "LIBDIR/cmake/Skein10/Skein10Targets.cmake",
                  "LIBDIR/pkgconfig/skein10.pc"],
        "within": ["usr/include/skein10/", "LIBDIR/libskein10rt.so", "LIBDIR/cmake/Skein10/", "LIBDIR/pkgconfig/"],
        "section": "libdevel",
    },
    "skein10": {
        "holds": ["usr/bin/skein10", "usr/share/man/man1/skein10.1.gz",
                  "usr/share/bash-completion/completions/skein10"],
        "within": ["usr/bin/skein10", "usr/share/man/man1/", "usr/share/bash-completion/completions/"],
        "section": "utils",
    },
    "python3-skein10": {
        "holds": [f"usr/lib/python3/dist-packages/skein10/{name}"
                  for name in ("__init__.py", "__init__.pyi", "_errors.py", "_typelib.py", "py.typed")],
        "within": ["usr/lib/python3/dist-packages/skein10/"],
        "section": "python",
    },
}
MAINTAINER_SCRIPTS = {"preinst", "postinst", "prerm", "postrm", "config"}


def field(deb, name):
    return subprocess.run(["dpkg-deb", "-f", str(deb), name], capture_output=True, text=True,
                          check=True).stdout.strip()


def contents(deb):
    """(path, owner, is a link) of every file and link in the package, the path without its leading "./"."""
    listing = subprocess.run(["dpkg-deb", "-c", str(deb)], capture_output=True, text=True, check=True).stdout
    entries = []
    for line in listing.splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        if not mode.startswith("d"):
            entries.append((path.split(" -> ")[0].removeprefix("./"), owner, mode.startswith("l")))
    return entries


def control_files(deb):
    listing = subprocess.run(f"dpkg-deb --ctrl-tarfile '{deb}' | tar -t", shell=True, capture_output=True,
                             text=True, check=True).stdout
    return {name.removeprefix("./") for name in listing.split() if name not in ("./", ".")}


def control_file(deb, name):
    return subprocess.run(f"dpkg-deb --ctrl-tarfile '{deb}' | tar -xO ./{name}", shell=True, capture_output=True,
                          text=True, check=True).stdout


@pytest.fixture(scope="module")
def debs(installed):
    if not installed.debs:
        pytest.skip("the package checks need --packages")
    return {field(deb, "Package"): deb for deb in installed.debs}


def test_the_four_packages_and_their_file_lists(installed, debs):
    assert set(debs) == set(EXPECTED)
    owners = {}
    for package, deb in debs.items():
        expected = EXPECTED[package]
        files = contents(deb)
        paths = {path for path, _owner, _link in files}
        doc = f"usr/share/doc/{package}/"
        for wanted in expected["holds"] + [doc + "copyright", doc + "changelog.gz"]:
            assert wanted.replace("LIBDIR", installed.libdir) in paths, (package, wanted)
        within = [prefix.replace("LIBDIR", installed.libdir) for prefix in expected["within"]] + [doc]
        for path, owner, _link in files:
            assert any(path.startswith(prefix) for prefix in within), (package, path)
            assert owner == "root/root", (package, path, owner)
            assert path not in owners, f"{path} is in {owners.get(path)} and {package}"
            owners[path] = package
    dev_link = [link for path, _owner, link in contents(debs["libskein10-dev"])
                if path == f"{installed.libdir}/libskein10rt.so"]
    assert dev_link == [True]
    # Where the system's libraries are, pkg-config's flags leave out its folders.
    pc_file = installed.root / installed.libdir / "pkgconfig/skein10.pc"
    assert pc_file.read_text().splitlines()[0] == "prefix=/usr"


def test_the_control_fields(debs):
    architecture = subprocess.run(["dpkg", "--print-architecture"], capture_output=True, text=True,
                                  check=True).stdout.strip()
    for package, deb in debs.items():
        assert field(deb, "Version") == VERSION
        assert field(deb, "Architecture") == architecture
        assert field(deb, "Section") == EXPECTED[package]["section"]
        assert field(deb, "Priority") == "optional"
        assert field(deb, "Source") == "skein10"
        assert "@" in field(deb, "Maintainer")
        summary, *extended = field(deb, "Description").splitlines()
        assert not summary.lower().startswith(package) and extended, package
        depends = field(deb, "Depends")
        if package != "libskein10rt1":
            assert f"libskein10rt1 (= {VERSION})" in depends, package
        if package != "libskein10-dev":
            assert "libc6 (>=" in depends and "libstdc++6 (>=" in depends, (package, depends)
    assert "libssl3" in field(debs["libskein10rt1"], "Depends")
    assert "libcurl4" in field(debs["skein10"], "Depends")
    assert re.search(r"python3 \(>= 3\.\d+~\), python3 \(<< 3\.\d+\)", field(debs["python3-skein10"], "Depends"))


def test_nothing_runs_at_install_time_but_the_ldconfig_trigger(debs):
    for package, deb in debs.items():
        scripts = control_files(deb) & MAINTAINER_SCRIPTS
        # Removing the module removes the bytecode Python wrote beside it.
        assert scripts == ({"prerm"} if package == "python3-skein10" else set()), package
    assert "py3clean -p python3-skein10" in control_file(debs["python3-skein10"], "prerm")
    runtime = debs["libskein10rt1"]
    assert control_file(runtime, "triggers").split() == ["activate-noawait", "ldconfig"]
    assert control_file(runtime, "shlibs").split() == ["libskein10rt", "1", "libskein10rt1", "(>=", f"{VERSION})"]


def test_no_binary_carries_an_rpath(installed, debs):
    binaries = [path for path in installed.root.rglob("*")
                if path.is_file() and not path.is_symlink() and path.read_bytes()[:4] == b"\x7fELF"]
    assert len(binaries) == 5, binaries  # the runtime, two components, the program, the module
    for binary in binaries:
        dynamic = subprocess.run(["readelf", "-d", str(binary)], capture_output=True, text=True, check=True).stdout
        assert "RPATH" not in dynamic and "RUNPATH" not in dynamic, binary


def test_lintian_finds_no_error(debs):
    result = subprocess.run(["lintian", "--fail-on", "error", "--tag-display-limit", "0", *map(str, debs.values())],
                            capture_output=True, text=True, timeout=600)
    print(result.stdout)
    assert result.returncode == 0, result.stdout + result.stderr
    assert not [line for line in result.stdout.splitlines() if line.startswith("E:")]


def test_the_unpacked_program_and_module_create_classes_without_registration(installed, debs):
    version = installed.run("--version")
    assert version.returncode == 0, version.stderr
    assert version.stdout == f"skein10 {VERSION} (host)\nskein10 {VERSION} (library)\n"
    check = "import skein10; print(skein10.Dispatch('Skein10.clsKvInetFTPConnection').TimeOut)"
    env = {**installed.env, "PYTHONPATH": str(installed.root / "usr/lib/python3/dist-packages")}
    result = subprocess.run(["/usr/bin/python3", "-c", check], env=env, capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    assert result.stdout == "20000\n"
