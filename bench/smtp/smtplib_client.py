"""Python's smtplib doing the dialogue the program does, for comparison: one session, and for every
letter RSET, MAIL FROM, RCPT TO, DATA with the same message bytes, then QUIT.

    smtplib_client.py PORT LETTERS MESSAGE_FILE

Prints "letters <n> wall <seconds> user <seconds> system <seconds>", the processor times being this
process's own.
"""

import resource
import smtplib
import sys
import time


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime, usage.ru_stime


def main():
    port, letters, message_file = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    with open(message_file, "rb") as f:
        message = f.read()
    wall_start, (user_start, system_start) = time.perf_counter(), cpu_seconds()
    client = smtplib.SMTP("127.0.0.1", port)
    client.helo("tarnwell")
    for i in range(letters):
        client.rset()
        code, _ = client.mail("admin@corp.ru")
        if code >= 400:
            sys.exit("MAIL FROM refused")
        client.rcpt("user%d@corp.ru" % i)
        code, _ = client.data(message)
        if code >= 400:
            sys.exit("message refused")
    client.quit()
    wall = time.perf_counter() - wall_start
    user, system = cpu_seconds()
    print("letters %d wall %.3f user %.3f system %.3f" % (letters, wall, user - user_start, system - system_start))


if __name__ == "__main__":
    main()
