"""Makes the release packages out/MERIDAN-<version>-win32.zip and -win64.zip
from the built trees build/win32 and build/win64: the deliverables of that
architecture (copies without debug information), the stand-in kit, the macro
modules, the script examples, the install scripts and the documents.

usage: make_packages.py REPOSITORY OUT_DIR"""
import os
import re
import shutil
import subprocess
import sys
import zipfile

ROOT, OUT = sys.argv[1], sys.argv[2]
TRIPLES = {"win32": "i686-w64-mingw32", "win64": "x86_64-w64-mingw32"}
BINARIES = ["MERIDAN.dll", "MERIDAN_HELPER.exe"]
# package path: repository path
DOCUMENTS = {
    "TESSAN_SPC.TAB": "data/TESSAN_SPC.TAB",
    "vba/Meridan.bas": "vba/Meridan.bas",
    "vba/MeridanFunctions.bas": "vba/MeridanFunctions.bas",
    "vba/MeridanDemos.bas": "vba/MeridanDemos.bas",
    "examples/read_values.vbs": "examples/vbs/read_values.vbs",
    "examples/spc_figures.vbs": "examples/vbs/spc_figures.vbs",
    "examples/spc_page.vbs": "examples/vbs/spc_page.vbs",
    "examples/gauge_study.vbs": "examples/vbs/gauge_study.vbs",
    "examples/chart_figures.vbs": "examples/vbs/chart_figures.vbs",
    "examples/capability_figures.vbs": "examples/vbs/capability_figures.vbs",
    "install.cmd": "packaging/install.cmd",
    "uninstall.cmd": "packaging/uninstall.cmd",
    "README.md": "README.md",
    "docs/spc_page.png": "docs/spc_page.png",
    "docs/readout.png": "docs/readout.png",
    "CHANGELOG.md": "CHANGELOG.md",
    "LICENSE": "LICENSE",
}


def version(tree):
    with open(os.path.join(ROOT, "build", tree, "CMakeCache.txt")) as cache:
        match = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.+)$", cache.read(), re.M)
    return match.group(1)


def make(tree, release):
    name = "MERIDAN-%s-%s" % (release, tree)
    stage = os.path.join(OUT, name)
    shutil.rmtree(stage, ignore_errors=True)
    os.makedirs(stage)
    built = os.path.join(ROOT, "build", tree, "bin")
    strip = TRIPLES[tree] + "-strip"
    files = {}
    for binary in BINARIES:
        files[binary] = os.path.join(stage, binary)
    files["standin-kit/tessan_ddk.dll"] = os.path.join(stage, "standin-kit", "tessan_ddk.dll")
    os.makedirs(os.path.join(stage, "standin-kit"))
    for packaged, target in files.items():
        subprocess.run([strip, "--strip-all", "-o", target, os.path.join(built, os.path.basename(packaged))],
                       check=True)
    for packaged, source in DOCUMENTS.items():
        target = os.path.join(stage, *packaged.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(ROOT, source), target)
        files[packaged] = target
    archive = os.path.join(OUT, name + ".zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as package:
        for packaged in sorted(files):
            package.write(files[packaged], name + "/" + packaged)
    shutil.rmtree(stage)
    return archive


def main():
    release = version("win32")
    if version("win64") != release:
        sys.exit("build/win32 and build/win64 were configured with different versions: rebuild both")
    os.makedirs(OUT, exist_ok=True)
    for tree in ("win32", "win64"):
        print(make(tree, release))


if __name__ == "__main__":
    main()
