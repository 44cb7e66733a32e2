"""Runs a command of the host for a Windows test under Wine, which can start a program of the host but
hands it no pipe and gives the test no handle to wait on.

    host_run.py OUT ERR STATUS COMMAND...   runs COMMAND with standard output into OUT and standard error
                                            into ERR, then writes its exit status into STATUS, last and
                                            under its own name, so the test knows it has ended.
"""

import os
import subprocess
import sys

if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    out, err, status = sys.argv[1:4]
    with open(out, "wb") as out_file, open(err, "wb") as err_file:
        code = subprocess.call(sys.argv[4:], stdin=subprocess.DEVNULL, stdout=out_file, stderr=err_file)
    with open(status + ".tmp", "w") as status_file:
        status_file.write(str(code))
    os.replace(status + ".tmp", status)
