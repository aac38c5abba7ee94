#!/usr/bin/env python3
"""Runs a finder and times it: to the report's "... done." line on standard output, and (--list)
to the device list on the screen (a second window with the program's title), with the process's
CPU time then. Used by bench/desktop.sh.
    timed-run.py NAME (--end | --list) COMMAND...
"""
import os
import subprocess
import sys
import threading
import time

name, mode, command = sys.argv[1], sys.argv[2], sys.argv[3:]
start = time.monotonic()
process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
done_at = []


def read():
    for line in process.stdout:
        if b"... done." in line and not done_at:
            done_at.append(time.monotonic() - start)


reader = threading.Thread(target=read, daemon=True)
reader.start()


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    except OSError:
        return float("nan")


if mode == "--end":
    process.wait()
    reader.join()
    print(f"{name:30} search {done_at[0] if done_at else float('nan'):5.2f} s, "
          f"in all {time.monotonic() - start:5.2f} s")
    sys.exit(0)

list_at = None
for _ in range(1200):
    windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                              "lorixlog-finder version"], capture_output=True, text=True).stdout
    if len(windows.split()) >= 2:
        list_at = time.monotonic() - start
        break
    time.sleep(0.05)
cpu = cpu_seconds(process.pid)
process.terminate()
process.wait()
print(f"{name:30} search {done_at[0] if done_at else float('nan'):5.2f} s, "
      f"list {list_at if list_at else float('nan'):5.2f} s, CPU {cpu:4.2f} s")
