#!/usr/bin/env python3
"""The Debian package, built from this build tree with cpack and unpacked into
a temporary root: its files and dependencies, the desktop entry and metainfo
validators, the man pages, the completion, and the launcher's home made on a
first start and kept on the next ones. The launcher finds the package's files
from its own place: started where it was unpacked and through a symbolic link,
without QUILLSTONE_ROOT; a copy of it elsewhere needs QUILLSTONE_ROOT.

usage: package_test.py BUILD_DIR VERSION
"""
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

APP_ID = "example.tarnwick.Quillstone"
DESIGN_ID = "example.tarnwick.QuillstoneDesign"
HELP = "The Link Budget.txt"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)


def run(*args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=300, **kwargs)


def build_package(build, out):
    result = run("cpack", "-G", "DEB", "--config", str(build / "CPackConfig.cmake"), "-B",
                 str(out), cwd=build)
    if result.returncode != 0:
        sys.exit("cpack failed:\n" + result.stdout + result.stderr)
    return sorted(out.glob("*.deb"))


def check_contents(root, deb, version):
    arch = run("dpkg", "--print-architecture").stdout.strip()
    check(deb.name == f"quillstone_{version}_{arch}.deb", f"package name {deb.name}")
    files = {"/" + str(p.relative_to(root)) for p in root.rglob("*") if not p.is_dir()}
    share = "/usr/share"
    expected = {
        "/usr/bin/quillstone", "/usr/bin/quillstone-calc", "/usr/bin/quillstone-design",
        "/usr/lib/quillstone/quillstone",
        "/usr/lib/quillstone/view-log", f"{share}/quillstone/Help/{HELP}",
        "/usr/lib/quillstone/quillstone-geotiff.so",
        f"{share}/applications/{APP_ID}.desktop", f"{share}/metainfo/{APP_ID}.metainfo.xml",
        f"{share}/applications/{DESIGN_ID}.desktop", f"{share}/metainfo/{DESIGN_ID}.metainfo.xml",
        f"{share}/man/man1/quillstone-design.1.gz",
        f"{share}/icons/hicolor/scalable/apps/{APP_ID}.svg",
        f"{share}/icons/hicolor/48x48/apps/{APP_ID}.png",
        f"{share}/icons/hicolor/128x128/apps/{APP_ID}.png",
        f"{share}/man/man1/quillstone.1.gz", f"{share}/man/man1/quillstone-calc.1.gz",
        f"{share}/bash-completion/completions/quillstone-calc",
        f"{share}/doc/quillstone/copyright"}
    check(files == expected, f"file list: extra {files - expected}, missing {expected - files}")
    for program in ("/usr/bin/quillstone", "/usr/bin/quillstone-calc",
                    "/usr/bin/quillstone-design", "/usr/lib/quillstone/quillstone",
                    "/usr/lib/quillstone/view-log"):
        check(os.access(root / program.lstrip("/"), os.X_OK), f"{program} executable")
    for size in (48, 128):
        png = (root / f"usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png").read_bytes()
        width, height = int.from_bytes(png[16:20], "big"), int.from_bytes(png[20:24], "big")
        check(png[:8] == b"\x89PNG\r\n\x1a\n" and (width, height) == (size, size),
              f"{size} px icon is {width}x{height}")

    depends = run("dpkg-deb", "--field", str(deb), "Depends").stdout
    names = {d.split()[0] for d in depends.replace("|", ",").split(",") if d.strip()}
    for needed in ("libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6svg6",
                   "libjpeg62-turbo", "xdg-utils", "fonts-dejavu-core", "libgdal32"):
        check(needed in names, f"Depends names {needed}: {depends.strip()}")
    # The chart is drawn with QPainter: no program loads Qt Charts or its OpenGL.
    for unwanted in ("libqt6charts6", "libqt6opengl6", "libqt6openglwidgets6"):
        check(unwanted not in names, f"Depends does not name {unwanted}: {depends.strip()}")
    check(run("dpkg-deb", "--field", str(deb), "Version").stdout.strip() == version, "Version")

    # Each desktop entry with its metainfo; the design window's under its own
    # name, with the program's icon.
    for app_id, name in ((APP_ID, "Quillstone"), (DESIGN_ID, "Quillstone Link Designer")):
        desktop = root / f"usr/share/applications/{app_id}.desktop"
        result = run("desktop-file-validate", str(desktop))
        check(result.returncode == 0 and not result.stdout.strip(),
              f"desktop-file-validate {app_id}: " + result.stdout + result.stderr)
        entry = desktop.read_text()
        check(f"\nName={name}\n" in entry and f"\nIcon={APP_ID}\n" in entry,
              f"{app_id}.desktop names {name} and the program's icon")
        result = run("appstreamcli", "validate", "--no-net",
                     str(root / f"usr/share/metainfo/{app_id}.metainfo.xml"))
        check(result.returncode == 0,
              f"appstreamcli validate {app_id}: " + result.stdout + result.stderr)


def help_options_and_keys(root):
    """The options and keys quillstone-calc --help names."""
    text = run(str(root / "usr/bin/quillstone-calc"), "--help").stdout
    options = set(re.findall(r"(?<![\w-])(--[a-z](?:[a-z0-9-]*[a-z0-9])?|-h)\b", text))
    keys = []
    in_keys = False
    for line in text.splitlines():
        if line.startswith("Keys"):
            in_keys = True
        elif in_keys and line.startswith("  ") and line.split():
            keys.append(line.split()[0])
        elif in_keys and not line.strip():
            in_keys = False
    check(len(keys) == 14, f"--help lists 14 keys: {keys}")
    return options, keys


def check_man_pages_and_completion(root):
    options, keys = help_options_and_keys(root)
    man1 = root / "usr/share/man/man1"
    for page in ("quillstone.1.gz", "quillstone-calc.1.gz", "quillstone-design.1.gz"):
        result = run("man", "--warnings", "-l", str(man1 / page),
                     env={**os.environ, "MANWIDTH": "80", "MANPAGER": "cat"})
        check(result.returncode == 0 and "NAME" in result.stdout and not result.stderr,
              f"man -l {page}: {result.stderr}")
        source = subprocess.run(["zcat", str(man1 / page)], capture_output=True).stdout
        result = subprocess.run(["groff", "-ww", "-man", "-Tutf8"], input=source,
                                capture_output=True)
        check(result.returncode == 0 and not result.stderr, f"groff -ww {page}: {result.stderr}")
    calc_page = run("zcat", str(man1 / "quillstone-calc.1.gz")).stdout.replace("\\-", "-")
    for word in sorted(options) + keys:
        check(word in calc_page, f"the quillstone-calc page describes {word}")

    completion = root / "usr/share/bash-completion/completions/quillstone-calc"

    def offers(*words):
        script = (f'source "{completion}"; COMP_WORDS=(quillstone-calc {" ".join(words)}); '
                  'COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _quillstone_calc; '
                  'printf "%s\\n" "${COMPREPLY[@]}"')
        return set(run("bash", "-c", script).stdout.split())

    check(offers("''") == {k + "=" for k in keys}, f"completion of a key: {offers(chr(39) * 2)}")
    check(offers("-") == options, f"completion of options: {offers('-') ^ options}")
    check(offers("--solve", "''") == set(keys), "completion after --solve")


def signal_caught(pid, number):
    try:
        for line in pathlib.Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("SigCgt:"):
                return (int(line.split()[1], 16) >> (number - 1)) & 1 == 1
    except OSError:
        pass
    return False


def start_and_end(launcher, home, env):
    """Starts the launcher, waits until the program handles SIGTERM, ends it so."""
    process = subprocess.Popen([str(launcher)], env=env, cwd=str(home),
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    deadline = time.monotonic() + 60
    while not signal_caught(process.pid, signal.SIGTERM) and process.poll() is None:
        if time.monotonic() > deadline:
            process.kill()
            break
        time.sleep(0.05)
    process.send_signal(signal.SIGTERM)
    try:
        output, _ = process.communicate(timeout=60)
    except subprocess.TimeoutExpired:
        process.kill()
        output, _ = process.communicate()
    check(process.returncode == 0, f"the program ended with {process.returncode}: {output}")


def check_launcher(root, scratch):
    home = scratch / "home"
    pictures = home / "Bilder"
    (home / ".config").mkdir(parents=True)
    (home / ".config/user-dirs.dirs").write_text('XDG_PICTURES_DIR="$HOME/Bilder"\n')
    fake_bin = scratch / "bin"
    fake_bin.mkdir()
    opened = scratch / "opened.txt"
    (fake_bin / "xdg-open").write_text(f'#!/bin/sh\nprintf "%s\\n" "$@" > "{opened}"\n')
    (fake_bin / "xdg-open").chmod(0o755)
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("XDG_") and k != "QUILLSTONE_ROOT"}
    env.update(HOME=str(home), QT_QPA_PLATFORM="offscreen",
               PATH=f"{fake_bin}:{env.get('PATH', '/usr/bin:/bin')}")
    launcher = root / "usr/bin/quillstone"
    elsewhere = scratch / "elsewhere"
    elsewhere.mkdir()
    link = elsewhere / "quillstone"
    link.symlink_to(os.path.relpath(launcher, elsewhere))
    copy = elsewhere / "quillstone-copy"
    shutil.copy(launcher, copy)

    start_and_end(launcher, home, env)
    base = home / ".local/share/quillstone"
    installed_help = (root / f"usr/share/quillstone/Help/{HELP}").read_bytes()
    help_text = base / "Files/Help" / HELP
    log = base / "SYSTEM/ERLOGS/Quillstone.Log"
    check((base / "Quillstone.Cfg").is_file(), "Quillstone.Cfg written in the home")
    check(log.is_file() and log.stat().st_size > 0, "the log in SYSTEM/ERLOGS")
    check(help_text.is_file() and help_text.read_bytes() == installed_help, "the help text")
    hardcopies = base / "Files/Hardcopies"
    check(hardcopies.is_symlink() and hardcopies.resolve() == pictures / "Quillstone"
          and hardcopies.resolve().is_dir(), "Files/Hardcopies linked to Bilder/Quillstone")

    viewer = base / "Wexalor.exe"
    result = run(str(viewer), str(log), env=env)
    check(result.returncode == 0 and opened.read_text() == f"{log}\n",
          "the log viewer opens the log with xdg-open")

    # A second start, through a link, keeps the edited help text and the settings.
    help_text.write_bytes(b"my own notes\r\n")
    start_and_end(link, home, env)
    check(help_text.read_bytes() == b"my own notes\r\n", "an edited help text is kept")
    check(hardcopies.resolve() == pictures / "Quillstone", "the hardcopy link is kept")
    # A third, of a copy told where the package lies, restores a help text that
    # went missing, and the hardcopy folder.
    help_text.unlink()
    shutil.rmtree(pictures)
    start_and_end(copy, home, {**env, "QUILLSTONE_ROOT": str(root)})
    check(help_text.read_bytes() == installed_help, "a missing help text is restored")
    check((pictures / "Quillstone").is_dir(), "a missing hardcopy folder is made again")


def main():
    build = pathlib.Path(sys.argv[1]).resolve()
    version = sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="quillstone-package-") as scratch_name:
        scratch = pathlib.Path(scratch_name)
        debs = build_package(build, scratch / "out")
        if len(debs) != 1:
            sys.exit(f"cpack made {debs}")
        root = scratch / "root"
        subprocess.run(["dpkg-deb", "-x", str(debs[0]), str(root)], check=True)
        check_contents(root, debs[0], version)
        check_man_pages_and_completion(root)
        check_launcher(root, scratch)
    print(f"{len(failures)} failed" if failures else "package checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
