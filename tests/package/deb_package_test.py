"""The Debian package as a user gets it: built by CPack from the build folder, unpacked with dpkg-deb -x into
a temporary folder, its contents and dependencies checked, and the unpacked program run headless on the
demo database that the package itself carries.

Usage: deb_package_test.py BUILD_FOLDER VERSION
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BUILD, VERSION = sys.argv[1], sys.argv[2]
# "window" when the build has the window module (the build without a window, as the sanitized one, has none).
WINDOW = len(sys.argv) > 3 and sys.argv[3] == "window"
DOC = "usr/share/doc/tarnwell"
EXAMPLES = "usr/share/tarnwell/examples"


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"encoding": "utf-8"})) as f:
        return f.read()


def run(*command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, **options).stdout


class DebPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.mkdtemp(prefix="tarnwell_deb_")
        out = os.path.join(cls.temp, "out")
        run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", out)
        debs = [f for f in os.listdir(out) if f.endswith(".deb")]
        assert len(debs) == 1, debs
        cls.deb = os.path.join(out, debs[0])
        cls.root = os.path.join(cls.temp, "root")
        run("dpkg-deb", "-x", cls.deb, cls.root)
        cls.info = run("dpkg-deb", "-I", cls.deb)
        cls.program = os.path.join(cls.root, "usr/bin/tarnwell")
        cls.module = os.path.join(cls.root, "usr/lib/tarnwell/tarnwell-window.so")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.temp, ignore_errors=True)

    def field(self, name):
        m = re.search(r"^ %s: (.*)$" % name, self.info, re.M)
        self.assertIsNotNone(m, "no %s in the control file:\n%s" % (name, self.info))
        return m.group(1)

    def test_control_fields(self):
        self.assertEqual(self.field("Package"), "tarnwell")
        self.assertEqual(self.field("Version"), VERSION)
        self.assertEqual(self.field("Architecture"), run("dpkg", "--print-architecture").strip())
        self.assertEqual(os.path.basename(self.deb), "tarnwell_%s_%s.deb" % (VERSION, self.field("Architecture")))

    def test_contents_are_the_program_and_its_desktop_files_only(self):
        files = set()
        for folder, _, names in os.walk(self.root):
            files.update(os.path.relpath(os.path.join(folder, n), self.root) for n in names)
        self.assertEqual(files, {
            "usr/bin/tarnwell",
            *(["usr/lib/tarnwell/tarnwell-window.so"] if WINDOW else []),
            "usr/share/man/man1/tarnwell.1.gz",
            "usr/share/applications/tarnwell.desktop",
            "usr/share/icons/hicolor/scalable/apps/tarnwell.svg",
            DOC + "/README.md",
            EXAMPLES + "/settings.ini",
            EXAMPLES + "/registry.reg",
            EXAMPLES + "/wingate-service",
        })
        self.assertTrue(os.access(self.program, os.X_OK))
        # Stripped: no debugging sections, no symbol table.
        for binary in self.binaries():
            sections = run("readelf", "-S", "-W", binary)
            self.assertNotIn(".debug_info", sections, binary)
            self.assertNotIn(".symtab", sections, binary)
        # The program itself links no Qt library: only its window module does.
        self.assertNotIn("libQt6", run("objdump", "-p", self.program))
        if WINDOW:
            self.assertIn("libQt6Widgets", run("objdump", "-p", self.module))

    def test_desktop_entry_names_the_program_and_icon(self):
        path = os.path.join(self.root, "usr/share/applications/tarnwell.desktop")
        entry = read(path)
        self.assertIn("\nExec=tarnwell\n", entry)
        self.assertIn("\nIcon=tarnwell\n", entry)
        result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))

    def test_manual_page_is_the_one_built(self):
        import gzip
        with gzip.open(os.path.join(self.root, "usr/share/man/man1/tarnwell.1.gz"), "rt", encoding="utf-8") as f:
            page = f.read()
        self.assertEqual(page, read(os.path.join(BUILD, "tarnwell.1")))

    def test_depends_names_the_package_of_every_library_linked(self):
        depends = {re.match(r"[^ (]+", d.strip()).group(0) for d in self.field("Depends").split(",")}
        owners = set()
        # The program's libraries and its window module's (Qt).
        for binary in self.binaries():
            needed = re.findall(r"NEEDED\s+(\S+)", run("objdump", "-p", binary))
            self.assertTrue(needed)
            for line in run("ldd", binary).splitlines():
                m = re.match(r"\s*(\S+) => (/\S+)", line)
                if m and m.group(1) in needed:
                    path = os.path.realpath(m.group(2))
                    found = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True)
                    if found.returncode != 0:  # merged /usr: the package may know the path under /lib
                        found = subprocess.run(["dpkg", "-S", path.replace("/usr/lib/", "/lib/", 1)],
                                               capture_output=True, text=True)
                    self.assertEqual(found.returncode, 0, path)
                    owners.add(found.stdout.split(":")[0])
        self.assertEqual(depends, owners)

    def test_unpacked_program_writes_the_demo_report_headless(self):
        home = os.path.join(self.temp, "home")
        work = os.path.join(self.temp, "work")
        os.makedirs(home)
        os.makedirs(work)
        for name in ("settings.ini", "registry.reg"):
            shutil.copy(os.path.join(self.root, EXAMPLES, name), home)
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "TARNWELL_REGISTRY", "TARNWELL_HOME")}
        env["TARNWELL_HOME"] = home

        result = subprocess.run([self.program, "/createhtml"], cwd=work, env=env, capture_output=True,
                                timeout=60)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (0, b"", b""))
        # The relative "export.htm" lands in the program's folder, not in the current one.
        self.assertFalse(os.path.exists(os.path.join(work, "export.htm")))
        report = read(os.path.join(home, "export.htm"), "rb")
        self.assertTrue(report.startswith(b"<html>"), report[:80])
        # Every account of type "User" of the demo database has its row, and the totals row is there.
        database = read(os.path.join(home, "registry.reg"), "rb").decode("utf-16")
        users = re.findall(r'\\UserDatabase\\([^\]\r\n]+)\]\r?\n(?:"[^"\r\n]*"=[^\r\n]*\r?\n)*?"Type"="User"',
                           database)
        self.assertGreater(len(users), 10)
        for login in users[1:]:  # the first listed one reads "system"
            self.assertIn(b">" + login.encode("cp1251") + b"<", report, login)
        self.assertIn("Сумма".encode("cp1251"), report)
        self.assertTrue(os.path.exists(os.path.join(home, "grid.tmp")))

        # With a display the unpacked program finds its window module in ../lib/tarnwell, runs the switch in
        # the window's process and ends: no note that it runs without a window.
        if WINDOW:
            self.run_with_a_display(env, home, work)

        # Without its settings the run says where it looked.
        os.remove(os.path.join(home, "settings.ini"))
        result = subprocess.run([self.program, "/createhtml"], cwd=work, env=env, capture_output=True,
                                timeout=60)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode("utf-8").splitlines()[1],
                         "Tarnwell: файл настроек ожидается здесь: " + os.path.join(home, "settings.ini"))

    def binaries(self):
        return (self.program, self.module) if WINDOW else (self.program,)

    def run_with_a_display(self, env, home, work):
        os.remove(os.path.join(home, "export.htm"))
        runtime = os.path.join(self.temp, "runtime")
        os.makedirs(runtime, mode=0o700)
        shown = dict(env, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime, LD_DEBUG="files",
                     LD_DEBUG_OUTPUT=os.path.join(self.temp, "ld"))
        result = subprocess.run([self.program, "/createhtml"], cwd=work, env=shown, capture_output=True,
                                timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertNotIn(b"Tarnwell:", result.stderr)
        self.assertTrue(os.path.exists(os.path.join(home, "export.htm")))
        loaded = "".join(read(os.path.join(self.temp, f)) for f in os.listdir(self.temp) if f.startswith("ld."))
        self.assertIn("file=" + os.path.realpath(self.module), loaded)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
