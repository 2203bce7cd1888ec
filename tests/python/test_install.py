"""The installed package: `cmake --install` puts it in
PREFIX/lib/python3/dist-packages/skein10, and with only PYTHONPATH set
Debian's python3 imports it, creates classes without registration and holds
exactly one copy of the runtime."""

import os
import pathlib
import subprocess

import pytest

CHECK = """
import skein10
ftp = skein10.Dispatch("Skein10.clsKvInetFTPConnection")
assert ftp.TimeOut == 20000
runtimes = {line.split()[-1] for line in open("/proc/self/maps") if "libskein10rt.so" in line}
print(len(runtimes), runtimes.pop())
"""


def test_the_installed_package_imports_with_only_pythonpath(tmp_path):
    build = os.environ.get("SKEIN10_BUILD_DIR")
    if not build:
        pytest.skip("SKEIN10_BUILD_DIR names no build tree")
    prefix = tmp_path / "prefix"
    subprocess.run(["cmake", "--install", build, "--prefix", str(prefix)], check=True, stdout=subprocess.DEVNULL)
    package = prefix / "lib/python3/dist-packages/skein10"
    for name in ["__init__.py", "__init__.pyi", "py.typed", "_errors.py", "_typelib.py"]:
        assert (package / name).exists(), name
    env = {"PATH": "/usr/bin:/bin", "PYTHONPATH": str(prefix / "lib/python3/dist-packages"),
           "HOME": str(tmp_path), "SKEIN10_URLCACHE": str(tmp_path / "urlcache")}
    result = subprocess.run(["/usr/bin/python3", "-c", CHECK], env=env, capture_output=True, text=True, cwd="/")
    assert result.returncode == 0, result.stderr
    count, path = result.stdout.split()
    assert count == "1"
    assert pathlib.Path(path).resolve().is_relative_to(prefix.resolve())
