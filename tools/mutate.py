#!/usr/bin/env python3
# Mutation testing: changes one operator at a time in C++ sources and checks that the tests notice.
"""Mutation testing for the C++ sources.

    python3 tools/mutate.py [--build DIR] [--seed S] [--count N] [--labels core,platform,ui]
                            [--timeout SEC] [--exclude REGEX] [--list] FILE...

Picks operator sites at random (reproducibly with --seed) in FILE..., applies
one change at a time, rebuilds the test programs incrementally, runs the
tests of the chosen labels and restores the file. A mutant the tests fail on
(or time out on) is killed; one they pass on survived; one that does not
compile is not counted, and another site is drawn in its place so that N
mutants are counted when the files have that many sites.

The file is restored byte for byte after every mutant, and also on Ctrl-C,
SIGTERM and errors; a backup lies in DIR/mutate-backup while the run lasts.
The original mtime is deliberately not put back: a build tree that compiled a
mutant (this one, or another one building meanwhile) would then take the
object for up to date and keep the mutant. The restored file gets a fresh
mtime instead, and a last incremental build puts the original back into the
test programs of DIR.

The sources are edited in place, so no other build should run from this
checkout during a campaign; a separate build directory keeps the mutant
programs away from the normal one's tests.
"""

import argparse
import bisect
import collections
import os
import random
import re
import select
import signal
import subprocess
import sys
import time

TEST_TARGETS = ("core_tests", "platform_tests", "ui_tests", "sim_tests")

# --- Lexing -----------------------------------------------------------------

Token = collections.namedtuple("Token", "kind text start end")  # kind: id, num, str, op

PUNCTUATORS = sorted(
    """<<= >>= <=> ... ->* -> ++ -- << >> <= >= == != && || :: += -= *= /= %= &= |= ^= .* ##
    { } [ ] ( ) ; : , . ? ~ ! + - * / % ^ & | = < > #""".split(),
    key=len,
    reverse=True,
)
IDENT = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
# A preprocessing number: "0x1e+2" and "1'000" are single tokens.
PP_NUMBER = re.compile(r"\.?[0-9](?:[eEpP][+-]|[0-9A-Za-z_.]|'(?=[0-9A-Za-z]))*")
STRING_PREFIXES = {"L", "u", "U", "u8", "R", "LR", "uR", "UR", "u8R"}
CHAR_PREFIXES = {"L", "u", "U", "u8"}


def tokenize(text):
    """Tokens of the code; comments and preprocessor lines yield none."""
    tokens = []
    i, n = 0, len(text)
    line_start = True  # only whitespace since the last newline
    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
            continue
        if c.isspace():
            i += 1
            continue
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            i = n if end < 0 else end + 2
            continue
        if c == "#" and line_start:
            # A directive runs to the end of the line, continuations included.
            while i < n and text[i] != "\n":
                i += 2 if text[i] == "\\" else 1
            continue
        line_start = False
        m = IDENT.match(text, i)
        if m:
            word = m.group()
            j = m.end()
            if j < n and text[j] == '"' and word in STRING_PREFIXES:
                end = skip_string(text, j, raw=word.endswith("R"))
                tokens.append(Token("str", text[i:end], i, end))
                i = end
            elif j < n and text[j] == "'" and word in CHAR_PREFIXES:
                end = skip_quoted(text, j, "'")
                tokens.append(Token("str", text[i:end], i, end))
                i = end
            else:
                tokens.append(Token("id", word, i, j))
                i = j
            continue
        m = PP_NUMBER.match(text, i)
        if m:
            tokens.append(Token("num", m.group(), i, m.end()))
            i = m.end()
            continue
        if c == '"':
            end = skip_string(text, i, raw=False)
            tokens.append(Token("str", text[i:end], i, end))
            i = end
            continue
        if c == "'":
            end = skip_quoted(text, i, "'")
            tokens.append(Token("str", text[i:end], i, end))
            i = end
            continue
        for p in PUNCTUATORS:
            if text.startswith(p, i):
                tokens.append(Token("op", p, i, i + len(p)))
                i += len(p)
                break
        else:
            i += 1  # a stray character ($, @, a backslash): no token
    return tokens


def skip_quoted(text, i, quote):
    """End of the literal opened by the quote at i, escapes honoured."""
    j = i + 1
    while j < len(text) and text[j] != quote and text[j] != "\n":
        j += 2 if text[j] == "\\" else 1
    return min(j + 1, len(text))


def skip_string(text, i, raw):
    if not raw:
        return skip_quoted(text, i, '"')
    open_paren = text.find("(", i)
    if open_paren < 0:
        return len(text)
    closing = ")" + text[i + 1 : open_paren] + '"'
    end = text.find(closing, open_paren)
    return len(text) if end < 0 else end + len(closing)


# --- Sites ------------------------------------------------------------------

KEYWORDS = set(
    """alignas alignof and and_eq asm auto bitand bitor bool break case catch char char16_t
    char32_t class co_await co_return co_yield compl concept const const_cast consteval constexpr
    constinit continue decltype default delete do double dynamic_cast else enum explicit export
    extern float for friend goto if inline int long mutable namespace new noexcept not not_eq
    operator or or_eq private protected public register reinterpret_cast requires return short
    signed sizeof static static_assert static_cast struct switch template throw
    thread_local try typedef typeid typename union unsigned using virtual void volatile wchar_t
    while xor xor_eq""".split()
)
CASTS = {"static_cast", "dynamic_cast", "const_cast", "reinterpret_cast"}
# Tokens that end a template argument list search: no argument list holds them.
TEMPLATE_STOPS = {";", "{", "}", "&&", "||", "?"}
INTEGER = re.compile(r"(0[xX][0-9a-fA-F]+|[1-9][0-9]*|0)([uUlLzZ]*)")

# Replaces text[start:end]; "at" is the operator's own offset when the range is wider.
Mutant = collections.namedtuple("Mutant", "start end replacement change at", defaults=(None,))


def ends_operand(tok):
    """Whether an expression can end with this token, so that what follows is binary."""
    if tok is None:
        return False
    if tok.kind == "id":
        return tok.text not in KEYWORDS
    return tok.kind in ("num", "str") or tok.text in (")", "]")


def template_brackets(tokens):
    """Indices of the '<' and '>' tokens that open and close template argument lists."""
    angles = set()
    for i, tok in enumerate(tokens):
        if tok.text != "<" or i == 0:
            continue
        prev = tokens[i - 1]
        if prev.kind != "id" or prev.text == "operator":
            continue
        sure = prev.text == "template" or prev.text in CASTS
        depth, parens = 1, 0
        for j in range(i + 1, min(len(tokens), i + 400)):
            t = tokens[j].text
            if t in TEMPLATE_STOPS:
                break
            if t in ("(", "["):
                parens += 1
            elif t in (")", "]"):
                parens -= 1
                if parens < 0:
                    break
            elif parens == 0 and t == "<":
                depth += 1
            elif parens == 0 and t in (">", ">>"):
                depth -= len(t)
                if depth <= 0:
                    angles.update((i, j))
                    break
        if sure:
            angles.add(i)
    return angles


def spaced(text, tok):
    """Binary operators are written with a space on either side (.clang-format)."""
    return (
        tok.start > 0
        and text[tok.start - 1].isspace()
        and tok.end < len(text)
        and text[tok.end].isspace()
    )


def integer_value(tok):
    m = INTEGER.fullmatch(tok.text) if tok and tok.kind == "num" else None
    if not m:
        return None
    digits = m.group(1)
    return int(digits, 16) if digits[:2] in ("0x", "0X") else int(digits)


def replace_integer(tok, value):
    m = INTEGER.fullmatch(tok.text)
    digits, suffix = m.group(1), m.group(2)
    if digits[:2] in ("0x", "0X"):
        hex_digits = "%0*x" % (len(digits) - 2, value)
        if any(ch in "ABCDEF" for ch in digits):
            hex_digits = hex_digits.upper()
        return digits[:2] + hex_digits + suffix
    return str(value) + suffix


OPENERS, CLOSERS = {"(", "[", "{"}, {")", "]", "}"}
# Tokens that end the operand of a logical operator when met outside brackets.
OPERAND_ENDS = {";", ",", "?", ":", "=", "return", "&&", "||"}


def swap_logical(text, tokens, templates, i):
    """'&&' <-> '||'; in a chain of several, the swapped one gets parentheses
    around its two operands, since -Wparentheses (an error here) rejects
    "a || b && c"."""
    t = tokens[i].text
    other = "||" if t == "&&" else "&&"
    ends = [None, None]
    for side, step in ((0, -1), (1, 1)):
        depth, k = 0, i + step
        while 0 <= k < len(tokens):
            x = tokens[k].text
            opens, closes = (CLOSERS, OPENERS) if step < 0 else (OPENERS, CLOSERS)
            if k in templates:  # template brackets nest like parentheses
                depth += 1 if (x == "<") == (step > 0) else -1
            elif x in opens:
                depth += 1
            elif x in closes:
                depth -= 1
            if depth < 0 or (depth == 0 and x in OPERAND_ENDS):
                break
            k += step
        ends[side] = k
    left, right = ends[0] + 1, ends[1] - 1
    chained = any(
        0 <= k < len(tokens) and tokens[k].text in ("&&", "||") for k in (ends[0], ends[1])
    )
    if not chained:
        return Mutant(tokens[i].start, tokens[i].end, other, f"'{t}' -> '{other}'")
    start, end = tokens[left].start, tokens[right].end
    joined = text[start : tokens[i].start] + other + text[tokens[i].end : end]
    change = f"'{t}' -> '{other}' (in parentheses)"
    return Mutant(start, end, "(" + joined + ")", change, tokens[i].start)


def find_sites(text):
    """Every mutation site of the text: a list of sites, each a list of alternative mutants."""
    tokens = tokenize(text)
    templates = template_brackets(tokens)
    sites = []
    plus_minus_ones = set()  # literals already covered by a "+ 1" / "- 1" site

    def tok_at(k):
        return tokens[k] if 0 <= k < len(tokens) else None

    swaps = {"==": "!=", "!=": "==", "<=": "<", ">=": ">"}
    for i, tok in enumerate(tokens):
        prev, nxt = tok_at(i - 1), tok_at(i + 1)
        after_operator = prev is not None and prev.text == "operator"
        t = tok.text
        if tok.kind == "op" and not after_operator:
            if t in swaps:
                sites.append([Mutant(tok.start, tok.end, swaps[t], f"'{t}' -> '{swaps[t]}'")])
            elif t in ("<", ">") and i not in templates and spaced(text, tok):
                if prev is None or prev.text != "template":
                    sites.append([Mutant(tok.start, tok.end, t + "=", f"'{t}' -> '{t}='")])
            elif t == "||" or (
                t == "&&" and spaced(text, tok) and (ends_operand(prev) or i - 1 in templates)
            ):
                sites.append([swap_logical(text, tokens, templates, i)])
            elif t == "!" and nxt is not None:
                sites.append([Mutant(tok.start, tok.end, "", "removed '!'")])
            elif (
                t in ("+", "-")
                and integer_value(nxt) == 1
                and text[tok.end : nxt.start] == " "
                and spaced(text, tok)
                and ends_operand(prev)
                and (tok_at(i + 2) is None or tok_at(i + 2).text not in ("*", "/", "%", "(", "["))
            ):
                plus_minus_ones.add(i + 1)
                removal = Mutant(prev.end, nxt.end, "", f"removed '{t} 1'")
                if t == "+":
                    two = replace_integer(nxt, 2)
                    sites.append([Mutant(nxt.start, nxt.end, two, f"'+ 1' -> '+ {two}'"), removal])
                else:
                    sites.append([removal])
        elif t == "return" and nxt is not None and nxt.text in ("true", "false"):
            after = tok_at(i + 2)
            if after is not None and after.text == ";":
                other = "false" if nxt.text == "true" else "true"
                sites.append(
                    [Mutant(nxt.start, nxt.end, other, f"'return {nxt.text};' -> 'return {other};'")]
                )
    for i, tok in enumerate(tokens):
        value = integer_value(tok)
        if value is None or i in plus_minus_ones:
            continue
        prev, before = tok_at(i - 1), tok_at(i - 2)
        if prev is not None and prev.text == "=" and before is not None:
            if before.text in (")", "const", "override", "noexcept") and tok.text == "0":
                continue  # "= 0" of a pure virtual function
        choices = [value + 1] + ([value - 1] if value > 0 else [])
        sites.append(
            [
                Mutant(tok.start, tok.end, new, f"literal {tok.text} -> {new}")
                for new in (replace_integer(tok, v) for v in choices)
            ]
        )
    sites.sort(key=lambda site: site[0].start)
    return sites


# --- Running ----------------------------------------------------------------


class Interrupted(BaseException):
    pass


STOP_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


def on_signal(signum, frame):
    raise Interrupted(signal.Signals(signum).name)


def run(cmd, cwd, timeout=None, stop=None):
    """Runs cmd in its own process group, which is killed on timeout and interrupt,
    and as soon as a line of its output matches the regex stop.

    Returns (exit code, or None on timeout, or STOPPED; combined output; seconds)."""
    start = time.monotonic()
    deadline = None if timeout is None else start + timeout
    proc = subprocess.Popen(
        cmd,
        cwd=cwd,
        stdout=subprocess.PIPE,
        stderr=subprocess.STDOUT,
        stdin=subprocess.DEVNULL,
        start_new_session=True,
    )
    chunks, code = [], None
    try:
        fd = proc.stdout.fileno()
        while True:
            left = None if deadline is None else deadline - time.monotonic()
            if left is not None and left <= 0:
                break  # timed out
            if not select.select([fd], [], [], left)[0]:
                continue
            chunk = os.read(fd, 65536)
            if not chunk:
                code = proc.wait()
                break
            chunks.append(chunk)
            if stop is not None:
                # Only whole lines: a match is looked for up to the last newline.
                text = b"".join(chunks)
                if stop.search(text[: text.rfind(b"\n") + 1].decode("utf-8", "replace")):
                    code = STOPPED
                    break
    finally:
        if code is None or code == STOPPED:
            kill_group(proc)
        proc.stdout.close()
    return code, b"".join(chunks).decode("utf-8", "replace"), time.monotonic() - start


STOPPED = "stopped"


def kill_group(proc):
    for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, None)):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            return
        try:
            proc.wait(timeout=wait)
            return
        except subprocess.TimeoutExpired:
            pass


def test_targets(build):
    code, out, _ = run(["cmake", "--build", build, "--target", "help"], build)
    if code != 0:
        sys.exit(f"mutate: cannot list the targets of {build}:\n{out}")
    present = {line.split(":")[0].strip() for line in out.splitlines() if ":" in line}
    return [t for t in TEST_TARGETS if t in present]


# A finished test that failed; "***Skipped" is no failure.
FAILED_TEST = re.compile(r"Test\s+#\d+: (\S+) .*?(\*\*\*(?!Skipped)|Subprocess aborted)")


class ForeignEdit(Exception):
    pass


class Source:
    """One file under mutation: its original bytes, its backup and its writes."""

    def __init__(self, path, root, backup_dir):
        self.path = path
        self.rel = os.path.relpath(path, root)
        with open(path, "rb") as f:
            self.original = f.read()
        self.mode = os.stat(path).st_mode & 0o7777
        self.text = self.original.decode("utf-8", "surrogateescape")
        self.lines = [0] + [m.end() for m in re.finditer("\n", self.text)]
        self.backup = os.path.join(backup_dir, self.rel.replace(os.sep, "__"))
        self.written = None  # content of our last write, to notice a change by someone else
        self.mutant = None  # the mutant in the file, if any
        self.clean_in_git = None

    def line_of(self, offset):
        return bisect.bisect_right(self.lines, offset)

    def where(self, mutant):
        offset = mutant.start if mutant.at is None else mutant.at
        line = self.line_of(offset)
        return f"{self.rel}:{line}:{offset - self.lines[line - 1] + 1}"

    def line_text(self, offset):
        k = self.line_of(offset) - 1
        end = self.lines[k + 1] - 1 if k + 1 < len(self.lines) else len(self.text)
        return self.text[self.lines[k] : end].strip()

    def write(self, data):
        current = self.read()
        expected = self.original if self.written is None else self.written
        if current != expected:
            held = f"mutant {self.where(self.mutant)} {self.mutant.change}" if self.mutant else ""
            raise ForeignEdit(
                f"{self.rel} was changed by someone else during the run; it is left as it is"
                + (f" and still holds the {held}" if held else "")
            )
        tmp = os.path.join(os.path.dirname(self.path), "." + os.path.basename(self.path) + ".mutate")
        with open(tmp, "wb") as f:
            f.write(data)
        os.chmod(tmp, self.mode)
        # A fresh mtime from the fine clock is newer than every object built so far.
        now = time.time_ns()
        os.utime(tmp, ns=(now, now))
        os.replace(tmp, self.path)
        self.written = data

    def read(self):
        with open(self.path, "rb") as f:
            return f.read()

    def apply(self, mutant):
        text = self.text[: mutant.start] + mutant.replacement + self.text[mutant.end :]
        self.write(text.encode("utf-8", "surrogateescape"))
        self.mutant = mutant

    def restore(self):
        if self.written is not None and self.written != self.original:
            self.write(self.original)
        self.mutant = None


def check_backup(src):
    """Refuses to start over the backup of an interrupted run that was not restored."""
    if not os.path.exists(src.backup):
        return
    with open(src.backup, "rb") as f:
        saved = f.read()
    if saved != src.original:
        sys.exit(
            f"mutate: {src.backup} from an interrupted run differs from {src.rel};\n"
            f"compare them and restore by hand, then delete the backup"
        )
    os.remove(src.backup)


def main():
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n\n", 2)[2],
        formatter_class=argparse.RawDescriptionHelpFormatter,
        epilog="The kill rate counts only mutants that compile; a timed-out test run kills.",
    )
    parser.add_argument("files", nargs="+", metavar="FILE")
    parser.add_argument("--build", metavar="DIR", help="build directory (default: build-test in the checkout)")
    parser.add_argument("--seed", metavar="S", type=int, default=0, help="(default 0)")
    parser.add_argument("--count", metavar="N", type=int, default=10, help="mutants to count (default 10)")
    parser.add_argument(
        "--labels", default="core,platform,ui", help="ctest labels to run (default core,platform,ui)"
    )
    parser.add_argument(
        "--timeout",
        metavar="SEC",
        type=float,
        help="seconds for one test run (default: 3 times the unmutated run, at least 30)",
    )
    parser.add_argument("--exclude", metavar="REGEX", help="ctest -E: tests not to run")
    parser.add_argument("--list", action="store_true", help="list the sites and change nothing")
    args = parser.parse_args()

    first_dir = os.path.dirname(os.path.abspath(args.files[0]))
    code, out, _ = run(["git", "rev-parse", "--show-toplevel"], first_dir)
    if code != 0:
        sys.exit(f"mutate: {args.files[0]} is not in a git checkout")
    root = out.strip()
    build = os.path.abspath(args.build or os.path.join(root, "build-test"))
    backup_dir = os.path.join(build, "mutate-backup")

    sources, candidates = [], []
    for name in args.files:
        path = os.path.abspath(name)
        if not os.path.isfile(path):
            sys.exit(f"mutate: no such file: {name}")
        src = Source(path, root, backup_dir)
        sources.append(src)
        for site in find_sites(src.text):
            candidates.append((src, site))

    if args.list:
        for src, site in candidates:
            changes = " | ".join(m.change for m in site)
            print(f"{src.where(site[0])}  {changes}")
        print(f"{len(candidates)} sites")
        return 0

    labels = [l.strip() for l in args.labels.split(",") if l.strip()]
    label_regex = "^(" + "|".join(re.escape(l) for l in labels) + ")$"
    present = test_targets(build)
    targets = [t for t in present if t == "sim_tests" or t[: -len("_tests")] in labels]
    if not targets:
        sys.exit(f"mutate: {build} has none of the test targets {', '.join(TEST_TARGETS)}")
    build_cmd = ["cmake", "--build", build, "-j2", "--target", *targets]
    test_cmd = ["ctest", "-L", label_regex, "--stop-on-failure", "-j2", "--no-tests=error"]
    if args.exclude:
        test_cmd += ["-E", args.exclude]

    for src in sources:
        code, _, _ = run(["git", "diff", "--quiet", "--", src.path], root)
        src.clean_in_git = code == 0
        if not src.clean_in_git:
            print(f"mutate: note: {src.rel} has uncommitted changes; they are kept", flush=True)
        check_backup(src)

    rng = random.Random(args.seed)
    order = list(range(len(candidates)))
    rng.shuffle(order)

    for sig in STOP_SIGNALS[1:]:
        signal.signal(sig, on_signal)

    began = time.monotonic()
    results = []  # (src, mutant, status)
    built_mutant = False
    status_code = 0
    os.makedirs(backup_dir, exist_ok=True)
    for src in sources:
        with open(src.backup, "wb") as f:
            f.write(src.original)
    try:
        print(f"mutate: {len(candidates)} sites; targets {' '.join(targets)}; labels {label_regex}")
        code, out, build_time = run(build_cmd, build)
        if code != 0:
            raise SystemExit(f"mutate: the unmutated tree does not build:\n{tail(out)}")
        code, out, test_time = run(test_cmd, build)
        if code != 0:
            raise SystemExit(f"mutate: the unmutated tests fail:\n{tail(out)}")
        timeout = args.timeout or max(30.0, 3 * test_time)
        print(f"mutate: unmutated tests pass in {test_time:.1f} s; timeout {timeout:.0f} s")

        counted = 0
        for number, index in enumerate(order, 1):
            if counted >= args.count:
                break
            src, site = candidates[index]
            mutant = rng.choice(site)
            where = src.where(mutant)
            start = time.monotonic()
            built_mutant = True
            src.apply(mutant)
            test_time, detail = 0.0, ""
            try:
                code, out, build_time = run(build_cmd, build)
                if code != 0:
                    status = "build-failed"
                    if not failed_in(out, src.path):
                        # The error may lie elsewhere: does the original still build?
                        src.restore()
                        if run(build_cmd, build)[0] != 0:
                            raise SystemExit(
                                f"mutate: the build fails outside the mutated file:\n{tail(out)}"
                            )
                else:
                    code, out, test_time = run(test_cmd, build, timeout, FAILED_TEST)
                    if code is None:
                        status, detail = "killed", "(timeout)"
                    elif code != 0:
                        m = FAILED_TEST.search(out)
                        status, detail = "killed", f"({m.group(1)})" if m else ""
                    else:
                        status = "survived"
            finally:
                src.restore()
            if status != "build-failed":
                counted += 1
            results.append((src, mutant, status))
            print(
                f"[{number}] {where}  {mutant.change}  {status} {detail}".rstrip()
                + f"  {time.monotonic() - start:.1f} s"
                + f" (build {build_time:.1f} s, tests {test_time:.1f} s)",
                flush=True,
            )
        if counted < args.count:
            print(f"mutate: every one of the {len(candidates)} sites was tried")
    except (KeyboardInterrupt, Interrupted) as e:
        print(f"\nmutate: interrupted ({str(e) or 'Ctrl-C'}); restoring", file=sys.stderr)
        status_code = 130
    except SystemExit as e:
        print(e.code, file=sys.stderr)
        status_code = 2
    except ForeignEdit:
        status_code = 3  # finish() tells
    finally:
        status_code = max(status_code, finish(sources, root, build, build_cmd, built_mutant))

    report(results, time.monotonic() - began)
    return status_code


def finish(sources, root, build, build_cmd, built_mutant):
    """Puts every file back, rebuilds, and checks that nothing is left changed."""
    # A second Ctrl-C must not cut the restore short.
    handlers = {s: signal.signal(s, signal.SIG_IGN) for s in STOP_SIGNALS}
    try:
        ok = restore_and_check(sources, root)
    finally:
        for s, handler in handlers.items():
            signal.signal(s, handler)
    if not ok:
        print("mutate: ERROR: the sources are NOT as they were; see above", file=sys.stderr)
        return 3
    for src in sources:
        if os.path.exists(src.backup):
            os.remove(src.backup)
    if built_mutant:
        try:
            code, out, seconds = run(build_cmd, build)
        except (KeyboardInterrupt, Interrupted):
            code, out = 1, "interrupted"
        if code != 0:
            print(
                "mutate: the last rebuild failed; the next build recompiles the restored "
                f"files (their mtime is fresh):\n{tail(out)}",
                file=sys.stderr,
            )
        else:
            print(f"mutate: restored and rebuilt in {seconds:.1f} s")
    return 0


def restore_and_check(sources, root):
    ok = True
    for src in sources:
        try:
            src.restore()
        except ForeignEdit as e:  # keep the other edit, and the backup
            print(f"mutate: ERROR: {e}", file=sys.stderr)
            ok = False
    for src in sources:
        if src.read() != src.original:
            print(
                f"mutate: ERROR: {src.rel} differs from its original (kept in {src.backup})"
                + ("" if src.mutant else "; someone else changed it during the run"),
                file=sys.stderr,
            )
            ok = False
        elif src.clean_in_git and run(["git", "diff", "--quiet", "--", src.path], root)[0] != 0:
            print(f"mutate: ERROR: git diff shows a change in {src.rel}", file=sys.stderr)
            ok = False
    return ok


def failed_in(out, path):
    """Whether every step the build reports as failed compiled the given file."""
    failed = re.findall(r"^FAILED: (.*?)\s*$", out, re.MULTILINE)
    obj = "/" + os.path.basename(path) + ".o"
    return bool(failed) and all(f.endswith(obj) for f in failed)


def tail(out, lines=25):
    return "\n".join(out.rstrip().splitlines()[-lines:])


def report(results, seconds):
    counted = [r for r in results if r[2] != "build-failed"]
    killed = sum(1 for r in counted if r[2] == "killed")
    failed = len(results) - len(counted)
    rate = f"{100.0 * killed / len(counted):.1f} %" if counted else "n/a"
    print(f"\nkilled {killed} of {len(counted)} ({rate}); {failed} did not compile (not counted)")
    if results:
        print(f"{seconds:.0f} s in all, {seconds / len(results):.1f} s per mutant")
    survivors = [r for r in counted if r[2] == "survived"]
    if survivors:
        print("survivors:")
        for src, mutant, _ in survivors:
            print(
                f"  {src.where(mutant)}  {mutant.change}"
                f"    {src.line_text(mutant.start)}"
            )


if __name__ == "__main__":
    sys.exit(main())
