"""The `skein10` program as its users get it: the program, its manual page
and its bash completion, either from the build tree (SKEIN10_BUILD_DIR, as
CTest runs test_manual_page.py and test_completion.py) or from the Debian
packages in a folder (--packages DIR, as `./run check-packages` runs every
file here), unpacked into a scratch root."""

import os
import pathlib
import re
import subprocess
from dataclasses import dataclass, field

import pytest

SOURCE = pathlib.Path(__file__).resolve().parents[2]


def pytest_addoption(parser):
    parser.addoption("--packages", help="the folder of the Debian packages to check")


def project_version():
    return re.search(r"project\(Skein10 VERSION ([0-9.]+)", (SOURCE / "CMakeLists.txt").read_text()).group(1)


@dataclass
class Installed:
    program: pathlib.Path
    manpage: pathlib.Path  # compressed
    completion: pathlib.Path
    env: dict
    root: pathlib.Path = None  # the unpacked packages
    debs: list = field(default_factory=list)
    libdir: str = ""  # the library folder below the root, "usr/lib/x86_64-linux-gnu"

    def run(self, *args, **kwargs):
        """The program with `args`, its outputs as text; never longer than a minute."""
        return subprocess.run([str(self.program), *args], env=self.env, capture_output=True, text=True,
                              timeout=60, **kwargs)


def base_environment(home):
    """A user who never registered anything; the sanitizers' settings pass on."""
    env = {"PATH": "/usr/bin:/bin", "HOME": str(home), "LANG": "C.UTF-8",
           "SKEIN10_URLCACHE": str(home / "urlcache")}
    for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS"):
        if name in os.environ:
            env[name] = os.environ[name]
    return env


@pytest.fixture(scope="session")
def installed(request, tmp_path_factory):
    home = tmp_path_factory.mktemp("home")
    env = base_environment(home)
    packages = request.config.getoption("--packages")
    if packages:
        debs = sorted(pathlib.Path(packages).glob("*.deb"))
        assert debs, f"no .deb files in {packages}"
        root = tmp_path_factory.mktemp("root")
        for deb in debs:
            subprocess.run(["dpkg-deb", "-x", str(deb), str(root)], check=True)
        multiarch = subprocess.run(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"], capture_output=True,
                                   text=True, check=True).stdout.strip()
        libdir = f"usr/lib/{multiarch}"
        # No RPATH in the packages: the system's folders are where the loader looks.
        env["LD_LIBRARY_PATH"] = str(root / libdir)
        return Installed(root / "usr/bin/skein10", root / "usr/share/man/man1/skein10.1.gz",
                         root / "usr/share/bash-completion/completions/skein10", env, root, debs, libdir)
    build = os.environ.get("SKEIN10_BUILD_DIR")
    if not build:
        pytest.skip("neither --packages nor SKEIN10_BUILD_DIR names what to check")
    build = pathlib.Path(build)
    return Installed(build / "bin/skein10", build / "host/skein10.1.gz", SOURCE / "host/completion/skein10", env)
