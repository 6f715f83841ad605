#!/usr/bin/env python3
"""Nothing typed is lost: the program window killed (SIGKILL) in the middle of
a run, started again, the cut-off run continued through the offer at start,
and finished to the report of an uninterrupted run.

The kill falls after a given number of answers, at a random moment from
outside, and during the write of a value (a journal whose last line was cut).

usage: journal_kill_test.py TRILAT_DRIVE TRILAT_CHAIN_ANSWERS
"""
import glob
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

drive, chain_answers = sys.argv[1:3]
work = tempfile.mkdtemp(prefix="trilat-journal-kill-")
failures = []
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what)


answers = subprocess.run([chain_answers, "4"], capture_output=True, check=True).stdout.decode().split("\n")[:-1]
answers_file = os.path.join(work, "all.answers")
with open(answers_file, "w") as f:
    f.write("\n".join(answers) + "\n")

full = os.path.join(work, "full.txt")
r = subprocess.run([drive, "--program", "--answers", answers_file, "--report-text", full], env=env, capture_output=True)
check(r.returncode == 0, f"uninterrupted run: {r.returncode} {r.stderr.decode()}")
with open(full, encoding="utf-8") as f:
    expected = f.read()


def journals(data):
    return glob.glob(os.path.join(data, "**", "journal-*.trilat"), recursive=True)


def values_in(journal):
    """Values of a journal, as the program reads it: whole lines only."""
    with open(journal, "rb") as f:
        text = f.read()
    text = text[: text.rfind(b"\n") + 1].decode("utf-8")
    lines = [l.split("#")[0].strip() for l in text.split("\n")[1:]]
    return sum(1 for l in lines if "=" in l and not l.startswith("+"))


def resume(name, data):
    found = journals(data)
    check(len(found) == 1, f"{name}: one journal left, found {found}")
    if len(found) != 1:
        return
    J = values_in(found[0])
    # chain answers: N, then each value with its empty confirmation
    start = 0 if J == 0 else 2 * J - 1
    rest = os.path.join(work, name + ".answers")
    with open(rest, "w") as f:
        f.write("\n".join(answers[start:]) + "\n")
    out = os.path.join(work, name + ".txt")
    r = subprocess.run([drive, "--resume", "--data", data, "--answers", rest, "--report-text", out],
                       env=env, capture_output=True)
    check(r.returncode == 0, f"{name}: resumed run with {J} values kept: {r.returncode} {r.stderr.decode()}")
    if J > 0:  # the offer names the run: its N, how many values, when it was cut off
        offer = r.stderr.decode()
        check(f"上次有一次平差的输入没有完成：\nN = 4，" in offer and f"{J} 个值，最后一次输入在 " in offer,
              f"{name}: the offer names the run: {offer}")
    if r.returncode == 0:
        with open(out, encoding="utf-8") as f:
            check(f.read() == expected, f"{name}: the resumed run's report")
    check(journals(data) == [], f"{name}: a completed run leaves no journal")


def killed_after(k):
    data = os.path.join(work, f"data-after-{k}")
    os.makedirs(data)
    r = subprocess.run([drive, "--program", "--data", data, "--answers", answers_file, "--kill-after", str(k)],
                       env=env, capture_output=True)
    check(r.returncode == -signal.SIGKILL, f"killed after {k} answers: exit {r.returncode}")
    return data


for k in (1, 6, 17, 30, 36, 41):
    resume(f"after-{k}", killed_after(k))

# from outside, at a moment nobody chose
random.seed(int(os.environ.get("TRILAT_KILL_SEED", "7")))
for n in range(4):
    data = os.path.join(work, f"data-random-{n}")
    os.makedirs(data)
    p = subprocess.Popen([drive, "--program", "--data", data, "--answers", answers_file], env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(random.uniform(0.05, 0.35))
    p.send_signal(signal.SIGKILL)
    p.wait()
    if p.returncode != -signal.SIGKILL or not journals(data):
        continue  # it had finished (or not begun): nothing to continue
    resume(f"random-{n}", data)

# during the write of a value: the last line cut half-way
data = killed_after(24)
journal = journals(data)[0]
with open(journal, "ab") as f:
    f.write("S7 = 10".encode())  # a value whose line end never came
resume("torn", data)

shutil.rmtree(work)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
