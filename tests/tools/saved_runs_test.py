#!/usr/bin/env python3
"""Every answers file of the tests, through the observation file.

For the last run of each file:
  - trilat-replay --save writes its values; --open of that file gives the
    run's field texts and end without a single prompt (event for event when
    the run had no re-entries and no refusals);
  - trilat-adjust --json gives the figures the run showed;
  - cancelled at a number prompt, saved, and continued through --open with
    the rest of the answers, the run ends with the report of the uncancelled
    run.

usage: saved_runs_test.py TRILAT_REPLAY TRILAT_ADJUST SOURCE_DIR
"""
import glob
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

replay, adjust, source = sys.argv[1:4]
work = tempfile.mkdtemp(prefix="trilat-saved-runs-")
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what)


def run(args, answers=b""):
    return subprocess.run(args, input=answers, capture_output=True, timeout=120)


def lines_of(out):
    return out.decode("utf-8", "surrogateescape").split("\n")[:-1]


def runs_of(events):
    """The events of each run, and the index of the answer each run starts at."""
    runs, current, prompts, start = [], [], 0, 0
    for e in events:
        if e.startswith("REPORT\t"):
            continue
        current.append(e)
        if e.startswith("PROMPT\t"):
            prompts += 1
        if e.startswith("END\t"):
            runs.append((start, current))
            current, start = [], prompts
    return runs


def fields_of(events):
    fields = {}
    for e in events:
        if e.startswith("TEXT\t"):
            _, name, text = e.split("\t", 2)
            fields[name] = text
    return fields


def single(x):
    """The float the program keeps, from the shortest decimal of it."""
    return struct.unpack("f", struct.pack("f", x))[0]


def fixed(x, decimals):
    text = format(x, ".%df" % decimals)
    return text[1:] if text.startswith("-") and text.strip("-0.") == "" else text


def is_reentry(prompt):
    return "正确的" in prompt and "确认" not in prompt


def is_number_prompt(prompt):
    starts = ("输入起始点", "输入闭合点", "请输入闭合点", "输入S")
    return prompt.startswith(starts) and "确认" not in prompt and "点名" not in prompt and not is_reentry(prompt)


def check_figures(name, events, doc):
    f = fields_of(events)
    end = events[-1].split("\t")
    check(doc["status"] == end[1], f"{name}: status {doc['status']} against {end[1]}")
    if end[1] == "failed":
        check(doc.get("fault") == end[2], f"{name}: fault {doc.get('fault')!r}")
        return
    w = doc["misclosures"]
    text12 = "没有角条件" if w["w1_arcsec"] is None else " " + fixed(single(w["w1_arcsec"]), 2) + " 秒"
    check(f.get("Text12") == text12, f"{name}: Text12 {f.get('Text12')!r} against {text12!r}")
    check(f.get("Text14") == " " + fixed(single(w["w2_mm"]), 2) + " 毫米", f"{name}: w2")
    check(f.get("Text15") == " " + fixed(single(w["w3_mm"]), 2) + " 毫米", f"{name}: w3")
    check(f.get("Text16") == fixed(single(doc["ms_mm"]), 2) + " 毫米", f"{name}: ms")
    k = doc["weakest"]
    check(f.get("Text21") == "  " + fixed(k["inv_px"], 4), f"{name}: 1/px")
    check(f.get("Text23") == "  " + fixed(k["inv_py"], 4), f"{name}: 1/py")
    for field, key in (("Text22", "mx_mm"), ("Text24", "my_mm"), ("Text25", "md_mm")):
        check(f.get(field) == "  " + fixed(single(k[key]), 2) + " 毫米", f"{name}: {key}")
    # the points shown one by one (the field emptied when the run starts is none)
    shown = [e.split("\t", 2)[2] for e in events if e.startswith("TEXT\tText18\t") and e != "TEXT\tText18\t"]
    check(shown == [fixed(p["x"], 3) for p in doc["points"]], f"{name}: the points' X")
    # the points shown one by one (the field emptied when the run starts is none)
    shown = [e.split("\t", 2)[2] for e in events if e.startswith("TEXT\tText19\t") and e != "TEXT\tText19\t"]
    check(shown == [fixed(p["y"], 3) for p in doc["points"]], f"{name}: the points' Y")
    check([s["k"] for s in doc["sides"]] == list(range(1, len(doc["sides"]) + 1)), f"{name}: sides 1..2N+1")


def check_file(path):
    name = os.path.relpath(path, source)
    with open(path, "rb") as f:
        answers = f.read()
    saved = os.path.join(work, "saved.obs")
    if os.path.exists(saved):
        os.remove(saved)
    full = run([replay, "--save", saved], answers)
    runs = runs_of(lines_of(full.stdout))
    # a run cancelled at its triangle count took no value: the file is the run before it
    while len(runs) > 1 and all(e[7:].startswith("请输入三角形个数") for e in runs[-1][1] if e.startswith("PROMPT\t")):
        runs.pop()
    start, last = runs[-1]
    if full.returncode != 0:
        check(full.returncode == 3 and "请输入三角形个数" in last[0], f"{name}: --save {full.returncode}")
        return
    opened = run([replay, "--open", saved])
    events = lines_of(opened.stdout)
    if last[-1] == "END\tcancelled":
        check(events[-1] == "END\tcancelled", f"{name}: the incomplete file goes on to a prompt")
        batch = run([adjust, saved, "--json"])
        check(batch.returncode == 2 and batch.stdout == b"", f"{name}: trilat-adjust of an incomplete file")
        check("观测文件不完整" in batch.stderr.decode(), f"{name}: the message names the incomplete file")
        return
    check(not any(e.startswith("PROMPT\t") for e in events), f"{name}: --open of a complete file prompts")
    check(events[-1] == last[-1], f"{name}: --open ends {events[-1]!r}, the run {last[-1]!r}")
    check(fields_of(events) == fields_of(last), f"{name}: the fields after --open")
    plain = not any(e.startswith("MESSAGE\t") for e in last[:-2]) and not any(
        e.startswith("PROMPT\t") and is_reentry(e[7:]) for e in last)
    if plain:
        expected = [e for e in last if not e.startswith("PROMPT\t")]
        check(events == expected, f"{name}: --open gives the run's events without its prompts")
    batch = run([adjust, saved, "--json"])
    check(batch.returncode == (0 if last[-1] == "END\tcompleted" else 1), f"{name}: trilat-adjust exit {batch.returncode}")
    check_figures(name, last, json.loads(batch.stdout))
    if last[-1] == "END\tcompleted":
        check_resumed(name, answers, start, last)


def check_resumed(name, answers, start, last):
    lines = answers.decode("utf-8", "surrogateescape").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    own = [l.encode("utf-8", "surrogateescape") + b"\n" for l in lines[start:]]
    whole = run([replay, "--report"], b"".join(own))
    report = [e for e in lines_of(whole.stdout) if e.startswith("REPORT\t")]
    prompts = [e[7:] for e in last if e.startswith("PROMPT\t")]
    cuts = [i for i, p in enumerate(prompts) if i > 0 and i < len(own) and is_number_prompt(p)]
    for cut in sorted(set([cuts[0], cuts[len(cuts) // 2], cuts[-1]])) if cuts else []:
        part = os.path.join(work, "part.obs")
        cancelled = run([replay, "--save", part], b"".join(own[:cut]) + b"<CANCEL>\n")
        check(cancelled.returncode == 0 and lines_of(cancelled.stdout)[-1] == "END\tcancelled",
              f"{name}: cancelled at prompt {cut}")
        with open(part, "rb") as f:
            check("未完成" in f.read().decode("utf-8", "replace"), f"{name}: the file says it is incomplete")
        resumed = run([replay, "--open", part, "--report"], b"".join(own[cut:]))
        events = lines_of(resumed.stdout)
        check("END\tcompleted" in events, f"{name}: resumed at prompt {cut} completes")
        check([e for e in events if e.startswith("REPORT\t")] == report,
              f"{name}: resumed at prompt {cut}, the same report")
        check(not any(e.startswith("PROMPT\t") and e[7:] == prompts[0] for e in events),
              f"{name}: resumed at prompt {cut} asks no value the file holds")


files = sorted(glob.glob(os.path.join(source, "tests/data/**/*.answers"), recursive=True) +
               glob.glob(os.path.join(source, "tests/properties/data/*.answers")) +
               glob.glob(os.path.join(source, "tests/fuzz/corpus/*")))
for path in files:
    check_file(path)
shutil.rmtree(work)
print(f"{len(files)} answers files, {len(failures)} failures")
sys.exit(1 if failures else 0)
