#!/usr/bin/env python3
"""Kills scripted sessions of the real window with SIGKILL and checks the
record files after each kill.

Each run starts crash_session in a work folder that earlier runs have already
written to (a fresh folder every ten runs) and kills it at a random moment,
right after a rating prompt opened, or right after a click began. Then every
file must hold exactly what it held before the run, followed by this run's
records in order: each record the session reported done whole, byte for byte,
and after them at most the record whose click was under way, as a kill can
leave it. Its click writes whole runs of lines, file by file: an opening to
the master file, then the send file; a note to master, send, notes; a
response's head to master, then send, then the rating prompt, then its tail
(rating line and end rule) to master, then send. So in each file that record
is absent, whole, or a response's head without its tail, and across the files
it stands at a point of that order: the rating prompt shown only once the head
is in both files, no tail before the prompt was answered. The one run that
may be cut short is the one being written when the kill came, and only at a
page boundary of its file, where the kernel stops a killed process's write.
No other torn line, nothing else.

The session tells, for each record, the clock, the entry and rating, and the
line count, length and SHA-256 of the typed text; the texts themselves are
checked against those.
"""

import argparse
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

START_RULE = b"......!!!!!!!!...................................\r\n"
END_RULE = b"." * 49
CRLF = b"\r\n"
INDENT = b" " * 36
ZONE = b" " * 7
RATING_LABELS = {"question": b"confidence assessment:  ", "answer": b"self critique assessment: "}
NAME = "Crash Tester"
FILES = ("master", "send", "notes")
RUNS_PER_FOLDER = 10
MAX_DELAY = 1.5
FALLBACK_KILL = 6.0


# The kernel copies a write into a file page by page and gives up between
# pages when the process is killed, so a kill can cut a run of lines short,
# always at a page boundary of the file.
PAGE = 4096


class Mismatch(Exception):
    pass


class CutShort(Exception):
    """The file ended while every byte of a run matched so far."""


class Record:
    def __init__(self, kind, number, fields):
        self.kind = kind
        self.number = number
        self.fields = fields
        self.done = False
        self.prompt_opened = False
        self.prompt_closed = False

    def files(self):
        return FILES if self.kind == "note" else FILES[:2]

    def __str__(self):
        return f"{self.kind} record {self.number}"


def parse_session_output(lines):
    """The records a run began, in order, and the faults it reported itself."""
    records, by_number, faults = [], {}, []
    for line in lines:
        words = line.split(" ")
        try:
            if words[0] == "BEGIN":
                if records and not records[-1].done:
                    faults.append(f"{records[-1]} began another before it was done")
                fields = dict(w.split("=", 1) for w in words[3:])
                records.append(Record(words[1], int(words[2]), fields))
                by_number[int(words[2])] = records[-1]
            elif words[:2] == ["PROMPT", "OPEN"]:
                by_number[int(words[2])].prompt_opened = True
            elif words[:2] == ["PROMPT", "CLOSED"]:
                by_number[int(words[2])].prompt_closed = True
            elif words[:2] == ["RECORD", "DONE"]:
                record = by_number[int(words[3])]
                record.done = True
                record.fields.update(w.split("=", 1) for w in words[4:])
            elif words[0] == "MESSAGE":
                text = bytes.fromhex(words[1]).decode()
                faults.append(f"the program reported: {text}")
            elif line != "SESSION END":
                faults.append(f"session said: {line[:300]}")
        except (KeyError, IndexError, ValueError) as e:
            faults.append(f"unreadable session line {line[:200]!r}: {e}")
    return records, faults


class Cursor:
    """Walks a file's bytes; each step matches exactly or raises Mismatch."""

    def __init__(self, data, pos, may_end=False):
        self.data = data
        self.pos = pos
        self.may_end = may_end  # the file may end inside this run

    def fail(self, what):
        found = self.data[self.pos:self.pos + 100]
        raise Mismatch(f"{what}: at byte {self.pos} found {found!r}")

    def literal(self, expected, what):
        if not self.data.startswith(expected, self.pos):
            rest = self.data[self.pos:]
            if self.may_end and len(rest) < len(expected) and expected.startswith(rest):
                raise CutShort()
            self.fail(f"{what} {expected[:60]!r} expected")
        self.pos += len(expected)

    def line(self, what):
        end = self.data.find(CRLF, self.pos)
        if end < 0:
            rest = self.data[self.pos:]
            if self.may_end and b"\n" not in rest and b"\r" not in rest[:-1]:
                raise CutShort()
            self.fail(f"{what}: the file ends inside the record" if self.pos == len(self.data)
                      else f"{what}: torn line, no CR LF")
        line = self.data[self.pos:end]
        if b"\r" in line or b"\n" in line:
            self.fail(f"{what}: stray CR or LF inside a line")
        self.pos = end + 2
        return line

    def text(self, fields, prefix, what, label=b""):
        """The lines of a typed text or entry, checked against its description."""
        start = self.pos
        lines = [self.line(what) for _ in range(int(fields[prefix + "lines"]))]
        if not lines[0].startswith(label):
            self.pos = start
            self.fail(f"{what}: label {label!r} expected")
        lines[0] = lines[0][len(label):]
        try:
            utf8 = b"\n".join(lines).decode("cp1252").encode()
        except UnicodeDecodeError:
            utf8 = b""
        if (len(utf8) != int(fields[prefix + "bytes"])
                or hashlib.sha256(utf8).hexdigest() != fields[prefix + "sha"]):
            self.pos = start
            self.fail(f"{what}: not the text that was typed ({fields[prefix + 'lines']} lines, "
                      f"{fields[prefix + 'bytes']} bytes)")

    def end(self, what):
        if self.pos != len(self.data):
            self.fail(f"{what}: more bytes than the run wrote")


def opening_writes(record, file):
    f = record.fields

    def whole(c):
        code = c.line("code line")
        if any(b < 66 for b in code):
            c.fail("code line: a byte below 66")
        characters = sum(1 for b in code if b >= 117)
        if ("code" in f and characters != int(f["code"])) or not 19 <= characters <= 28:
            c.fail(f"code line: {characters} coded characters")
        c.literal(b"assignment #" + f["assignment"].encode() + CRLF, "assignment line")
        header = c.line("header")
        if "header" in f:
            if header != bytes.fromhex(f["header"]).decode().encode("cp1252"):
                c.fail("header differs")
        elif not header.startswith(f["assignment"].encode() + b"."):
            c.fail("header of another assignment")
        c.literal(b"Precalculus I\r\n", "course title")
        c.literal(f["date"].encode() + CRLF, "date line")

    return [whole]


def response_writes(record, file):
    f = record.fields
    stamp = INDENT + f["time"].encode() + CRLF

    def head(c):
        c.literal(START_RULE + stamp, "start of response")
        if file == "master":
            question = int(f["assignment"]) * 10000 + int(f["question"] or 0)
            c.literal(CRLF + CRLF + b"`questionNumber " + str(question).encode() + b" \r\n",
                      "question number")
        c.text(f, "entry", "entry")
        c.literal(START_RULE + b"RESPONSE -->  \r\n", "response label")
        c.text(f, "", "response text")

    def tail(c):
        if f["kind"] != "none":
            rating = bytes.fromhex(f["rating"]).decode().encode("cp1252")
            c.literal(RATING_LABELS[f["kind"]] + rating + CRLF, "rating line")
        c.literal(END_RULE + CRLF, "end rule")

    return [head, tail]


def note_writes(record, file):
    f = record.fields
    clock = f["time"].encode()

    def whole(c):
        c.literal(START_RULE + INDENT + clock + CRLF, "start of note")
        c.literal(INDENT + f["date"].encode() + clock + CRLF, "date stamp")
        c.text(f, "entry", "entry")
        c.literal(START_RULE, "second rule")
        c.text(f, "", "note text", b"NOTES -------> ")
        c.literal(END_RULE + (CRLF if file == "master" else ZONE), "end rule")

    return [whole]


WRITES = {"opening": opening_writes, "response": response_writes, "note": note_writes}


def match_unfinished(writes, data, pos):
    """How many of the record's runs of lines this file holds, the most that
    match and end the file, and whether the run after them was cut short by
    the kill (ending at a page boundary). Raises the mismatch that got
    furthest."""
    furthest = None
    for count in range(len(writes), -1, -1):
        c = Cursor(data, pos)
        try:
            for write in writes[:count]:
                write(c)
            c.end("after the unfinished record")
            return count, False
        except Mismatch as e:
            if furthest is None or c.pos > furthest[0]:
                furthest = (c.pos, e)
    if len(data) % PAGE == 0:
        for count in range(len(writes)):
            c = Cursor(data, pos)
            try:
                for write in writes[:count]:
                    write(c)
                if c.pos == len(data):
                    continue
                c.may_end = True
                writes[count](c)
            except CutShort:
                return count, True
            except Mismatch:
                pass
    raise furthest[1]


def check_run(records, before, after):
    """Faults of one run's bytes in each file, and how far the unfinished
    record got in each."""
    faults, reached, cut = [], {}, None
    for file in FILES:
        old, data = before[file], after[file]
        if not data.startswith(old):
            faults.append(f"{file}: what earlier runs wrote has changed")
            continue
        pos = len(old)
        mine = [r for r in records if file in r.files()]
        for record in mine:
            writes = WRITES[record.kind](record, file)
            try:
                if record.done:
                    c = Cursor(data, pos)
                    for write in writes:
                        write(c)
                    pos = c.pos
                else:
                    reached[file], cut_short = match_unfinished(writes, data, pos)
                    if cut_short:
                        if cut:
                            raise Mismatch(f"runs cut short in both {cut} and {file}")
                        cut = file
                    pos = len(data)
            except (Mismatch, UnicodeError) as e:
                faults.append(f"{file}: {record}: {e}")
                break
        else:
            if pos != len(data):
                faults.append(f"{file}: {len(data) - pos} bytes after the last record: "
                              f"{data[pos:pos + 100]!r}")
    return faults, reached, cut


def click_writes(record):
    """The record's runs of lines in the order its click writes them, each a
    file and how many of the record's runs it then holds; "prompt" where the
    rating prompt is shown."""
    if record.kind == "response":
        return [("master", 1), ("send", 1), "prompt", ("master", 2), ("send", 2)]
    return [(file, 1) for file in record.files()]


def kill_states(record):
    """What each file holds of the record after each of its click's writes:
    the states a kill can leave, in order."""
    held = {file: 0 for file in record.files()}
    states = [dict(held)]
    for write in click_writes(record):
        if write != "prompt":
            held[write[0]] = write[1]
            states.append(dict(held))
    return states


def unfinished_state(record, reached, cut):
    """How many of its click's writes the unfinished record got through, and
    the faults of that state: a state no kill can leave, a run cut short in a
    file other than the one being written, a rating prompt shown before the
    response was in every file, or a rating written before the prompt was
    answered."""
    states = kill_states(record)
    if reached not in states:
        shown = ", ".join(f"{file} {reached[file]}" for file in record.files())
        order = ", ".join(f"{w[0]} {w[1]}" for w in click_writes(record) if w != "prompt")
        return None, [f"{record}: runs held ({shown}) are no prefix of its writes ({order})"]
    done = states.index(reached)
    faults = []
    writes = click_writes(record)
    if cut:
        runs = [w for w in writes if w != "prompt"]
        if done == len(runs) or runs[done] != (cut, reached[cut] + 1):
            faults.append(f"{record}: {cut} cut short, but it was not the file being written")
    if "prompt" in writes and record.fields["kind"] != "none":
        prompt = writes.index("prompt")  # the writes before it
        if record.prompt_opened and done < prompt:
            faults.append(f"{record}: rating prompt shown before the response was in every file")
        if not record.prompt_closed and done > prompt:
            faults.append(f"{record}: rating written before the prompt was answered")
    return done, faults


def where_killed(records, done):
    if not records:
        return "before the first record"
    last = records[-1]
    if last.done:
        return "between records"
    if done is None:
        return "in no state a kill can leave"
    writes = len(kill_states(last)) - 1
    if done == 0:
        return f"before the {last.kind} was written"
    if done == writes:
        return f"after the {last.kind} was written"
    if last.kind == "response" and done == 2:
        if last.fields["kind"] == "none":
            return "after the response's head, before its end"
        if last.prompt_opened and not last.prompt_closed:
            return "at an open rating prompt"
        return ("after the rating was answered, before its line was written"
                if last.prompt_closed else "after the response's head, before its rating prompt")
    if last.kind == "response":
        return ("between the files of the response's head" if done < 2
                else "between the files of the rating line")
    return f"between the files of the {last.kind}"


class Session:
    """One crash_session process, its output read as it comes, killed once."""

    def __init__(self, exe, folder, seed, log, trigger=None):
        self.proc = subprocess.Popen([exe, folder, str(seed), NAME], stdout=subprocess.PIPE,
                                     stderr=log)
        self.lines = []
        self.trigger = trigger  # kill at this line prefix's nth line, after a delay in range
        self.killed = threading.Event()
        self.reader = threading.Thread(target=self._read)
        self.reader.start()

    def kill(self):
        if not self.killed.is_set():
            self.killed.set()
            os.kill(self.proc.pid, signal.SIGKILL)  # still ours: not yet waited for

    def _read(self):
        pending = b""
        seen = 0
        fd = self.proc.stdout.fileno()
        while chunk := os.read(fd, 65536):
            pending += chunk
            *complete, pending = pending.split(b"\n")
            for raw in complete:
                line = raw.decode("utf-8", "replace")
                self.lines.append(line)
                if self.trigger and line.startswith(self.trigger[0]):
                    seen += 1
                    if seen == self.trigger[1]:
                        time.sleep(random.uniform(*self.trigger[2]))
                        self.kill()

    def finish(self, wait):
        self.killed.wait(wait)
        self.kill()
        self.proc.wait()
        self.reader.join()
        self.proc.stdout.close()


def read_files(folder):
    # The session's clock stands on 16 April, so every run writes the same send file.
    name = NAME.replace(" ", "_")
    names = {"master": f"masterFile_{name}.txt", "send": f"send_0416{name}.txt",
             "notes": f"notes_{name}.txt"}
    # A killed run leaves its lock behind (and, killed while taking over a
    # stale lock, the file of that takeover); the next run takes both over.
    kept = set(names.values()) | {f".qa-tutor-{name}.lock", f".qa-tutor-{name}.lock.rmlock"}
    contents = {}
    for file, name in names.items():
        path = os.path.join(folder, name)
        contents[file] = open(path, "rb").read() if os.path.exists(path) else b""
    stray = set(os.listdir(folder)) - kept if os.path.isdir(folder) else set()
    return contents, sorted(stray)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--session", required=True, help="the crash_session executable")
    parser.add_argument("--runs", type=int, default=60)
    parser.add_argument("--seed", type=int, default=None, help="seed of the whole test")
    parser.add_argument("--keep", action="store_true", help="keep the work folders")
    args = parser.parse_args()

    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(10**6)
    random.seed(seed)
    print(f"crash test: seed {seed} (--seed {seed} repeats the sessions; kill moments vary)")
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    work = tempfile.mkdtemp(prefix="qa-tutor-crash-")

    passed = failed = prompt_kills = records_checked = copies_checked = 0
    landed = {}
    files = None
    for run in range(args.runs):
        folder = os.path.join(work, f"folder{run // RUNS_PER_FOLDER}")
        if run % RUNS_PER_FOLDER == 0:
            files = {file: b"" for file in FILES}
        mode = random.choices(["any moment", "prompt open", "click"], [40, 35, 25])[0]
        log_path = os.path.join(work, f"run{run}.stderr")
        with open(log_path, "wb") as log:
            trigger = {"prompt open": ("PROMPT OPEN", random.randint(1, 15), (0, 0)),
                       "click": ("BEGIN", random.randint(1, 30), (0, 0.015))}.get(mode)
            session = Session(args.session, folder, seed * 1000 + run, log, trigger)
            session.finish(FALLBACK_KILL if trigger else random.uniform(0, MAX_DELAY))

        records, faults = parse_session_output(session.lines)
        if session.proc.returncode != -signal.SIGKILL:
            with open(log_path, "rb") as log:
                stderr = log.read()[-500:].decode("utf-8", "replace")
            faults.append(f"session ended by itself (status {session.proc.returncode}): {stderr}")
        after, stray = read_files(folder)
        if stray:
            faults.append(f"unexpected files in the folder: {stray}")
        file_faults, reached, cut = check_run(records, files, after)
        faults += file_faults
        done = None
        if records and not records[-1].done and not file_faults:
            done, state_faults = unfinished_state(records[-1], reached, cut)
            faults += state_faults
        files = after

        place = where_killed(records, done)
        if cut:
            place += f", a write to {cut} cut short"
        landed[place] = landed.get(place, 0) + 1
        if place == "at an open rating prompt":
            prompt_kills += 1
        records_checked += len(records)
        copies_checked += sum(len(r.files()) for r in records)
        if faults:
            failed += 1
            print(f"run {run} FAILED (session seed {seed * 1000 + run}, kill {mode}, "
                  f"folder {folder}):")
            for fault in faults:
                print(f"    {fault}")
            print("    the session's last words: " + " | ".join(
                line[:60] for line in session.lines[-3:]))
        else:
            passed += 1

    print("kills landed: " + ", ".join(f"{place} {n}" for place, n in sorted(landed.items())))
    if failed or args.keep:
        print(f"work folders kept in {work}")
    else:
        shutil.rmtree(work)
    print(f"crash test: {args.runs} runs killed ({prompt_kills} with a rating prompt open), "
          f"{records_checked} records ({copies_checked} record copies) checked in 3 files: "
          f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
