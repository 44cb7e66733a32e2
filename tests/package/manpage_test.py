"""The manual page the build made from README.md: it renders without a warning, and every switch, every
environment variable, the exit status and the crontab example of the README are on it. The maker refuses a
README that lacks a part the page takes from it.

Usage: manpage_test.py BUILT_PAGE SOURCE_FOLDER
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

PAGE, SOURCE = sys.argv[1], sys.argv[2]
MAKER = os.path.join(SOURCE, "docs", "make-manpage")
FRAME = os.path.join(SOURCE, "docs", "tarnwell.1.in")


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def rendered(path):
    env = dict(os.environ, MANWIDTH="400", LC_ALL="C.UTF-8")
    result = subprocess.run(["man", "--warnings=w", "-l", path], capture_output=True, text=True, env=env)
    return result.returncode, result.stdout, result.stderr


def section(readme, heading):
    m = re.search(r"^#+ %s\n(.*?)(?=^#)" % re.escape(heading), readme, re.M | re.S)
    assert m, heading
    return m.group(1)


class ManualPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.readme = read(os.path.join(SOURCE, "README.md"))
        code, cls.text, cls.warnings = rendered(PAGE)
        assert code == 0, cls.warnings
        # At 400 columns short paragraphs stay on one line, so a sentence can be looked for whole.
        cls.text = re.sub(r"[ \t]+", " ", cls.text)

    def test_renders_without_warnings(self):
        self.assertEqual(self.warnings, "")

    def test_sections(self):
        for name in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "FILES",
                     "EXAMPLES", "SEE ALSO"):
            self.assertRegex(self.text, r"(?m)^%s$" % name)

    def test_every_switch_of_the_readme_with_its_job(self):
        rows = re.findall(r"^\| `(/\w+)` \| (.*) \|$", section(self.readme, "Command-line switches"), re.M)
        self.assertEqual([r[0] for r in rows], ["/setlimit", "/createhtml", "/sendhtml", "/sendmail"])
        self.assertIn("tarnwell [/setlimit | /createhtml | /sendhtml | /sendmail]", self.text)
        for switch, job in rows:
            plain = re.sub(r"`([^`]*)`", r"\1", job)
            self.assertRegex(self.text, r"(?m)^ %s\n %s$" % (re.escape(switch), re.escape(plain)))

    def test_every_environment_variable_of_the_readme(self):
        names = re.findall(r"^- ((?:`\w+`(?:, )?)+):", section(self.readme, "Environment variables"), re.M)
        self.assertIn("`TARNWELL_HOME`", names)
        for item in names:
            self.assertRegex(self.text, r"(?m)^ %s$" % re.escape(item.replace("`", "")))

    def test_exit_status_and_example(self):
        status = " ".join(section(self.readme, "Exit status").split())
        self.assertIn(status, " ".join(self.text.split()))
        crontab = re.search(r"```sh\n(0 1 1 .*)\n```", self.readme).group(1)
        self.assertIn(re.sub(r"[ \t]+", " ", crontab), self.text)

    def test_maker_refuses_a_readme_without_a_part(self):
        with tempfile.TemporaryDirectory() as temp:
            broken = os.path.join(temp, "README.md")
            with open(broken, "w", encoding="utf-8") as f:
                f.write(self.readme.replace("## Environment variables", "## Variables"))
            result = subprocess.run([MAKER, broken, FRAME, "1.0", os.path.join(temp, "tarnwell.1")],
                                    capture_output=True, text=True)
            self.assertNotEqual(result.returncode, 0)
            self.assertIn('no heading "Environment variables"', result.stderr)
            self.assertFalse(os.path.exists(os.path.join(temp, "tarnwell.1")))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
