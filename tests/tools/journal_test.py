#!/usr/bin/env python3
"""trilat-replay --journal: the journal of a run holds every value confirmed
so far, as the observation file of the run without its end mark; values
refused after their confirmation (A = B) leave it; a run that has all its
values removes it.

usage: journal_test.py TRILAT_REPLAY TRILAT_ADJUST SOURCE_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

replay, adjust, source = sys.argv[1:4]
work = tempfile.mkdtemp(prefix="trilat-journal-")
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what)


def without_end_mark(saved):
    lines = saved.split(b"\n")
    assert lines[-1] == b"" and lines[-2] == "未完成".encode() and lines[-3].startswith(b"#")
    return b"\n".join(lines[:-3]) + b"\n"


def run(answers, *args):
    return subprocess.run([replay] + list(args), input=answers, capture_output=True, timeout=60)


journal, saved = os.path.join(work, "journal.trilat"), os.path.join(work, "saved.trilat")
with open(os.path.join(source, "tests/data/golden/with-d-and-re-entries.answers"), "rb") as f:
    answers = f.read().split(b"\n")[:-1]
for cut in range(1, len(answers)):
    for path in (journal, saved):
        if os.path.exists(path):
            os.remove(path)
    part = b"\n".join(answers[:cut]) + b"\n<CANCEL>\n"
    r = run(part, "--journal", journal, "--save", saved)
    ended = r.stdout.decode().split("\n")[-2]
    if ended != "END\tcancelled":
        continue  # the cut fell on a name or a confirmation: the run went on
    if not os.path.exists(saved):
        check(not os.path.exists(journal), f"cut {cut}: no value, no journal")
        continue
    with open(journal, "rb") as j, open(saved, "rb") as s:
        check(j.read() == without_end_mark(s.read()), f"cut {cut}: the journal is the saved file without its end mark")

# A = B: the pair is refused after its confirmation and leaves the journal
refused = b"\n".join([b"2", b"0", b"", b"0", b"", b"0", b"", b"0", b"", b"5", b"", b"<CANCEL>"]) + b"\n"
if os.path.exists(journal):
    os.remove(journal)
r = run(refused, "--journal", journal, "--save", saved)
with open(journal, "rb") as j, open(saved, "rb") as s:
    text = j.read()
    check(text == without_end_mark(s.read()), "after a refusal the journal is the saved file without its end mark")
    check(b"Xb = 5" in text and b"Yb" not in text, "the refused pair left the journal, the new Xb is in")

# a completed run removes it
with open(os.path.join(source, "tests/data/worked-example.answers"), "rb") as f:
    r = run(f.read(), "--journal", journal)
check(r.stdout.decode().split("\n")[-2] == "END\tcompleted" and not os.path.exists(journal),
      "a completed run leaves no journal")

shutil.rmtree(work)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
