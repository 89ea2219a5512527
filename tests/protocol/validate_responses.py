#!/usr/bin/env python3
"""Validates quillgate's response lines against docs/protocol.schema.json.

usage: validate_responses.py SCHEMA [--run BINARY] PATH...

Each PATH is one of:
  a transcript folder (it holds requests.jsonl or responses.jsonl): every response line is
      checked against what its request asked for: the operation's success
      response when "ok" is true, the failure envelope otherwise; lines that
      are only "*" are skipped; a transcript run in a command-line mode is
      checked against that mode's output, or skipped when the mode prints text;
      the lines of its expected trace (trace.jsonl) are checked as TraceLine,
      a count of "*" standing for 1;
  a .jsonl file: every line is checked as some response;
  with --run, any other file but a document (.md) or a shared scene (.json):
      its lines are requests, sent to BINARY
      (--server, on the built-in scene, traced) and each answer checked
      against its request, and each trace line as TraceLine, so a request
      corpus can be checked without stored answers;
  a folder of any of these: each entry in turn.
Prints every violation and exits 1 when there is any.
"""
import json
import os
import subprocess
import sys
import tempfile

from jsonschema import Draft202012Validator

# Command-line modes and the definition their output line follows; None: the
# mode prints text for people, not JSON.
MODE_OUTPUT = {
    "--permission-status": "PermissionStatusOutput",
    "--request-screen-permission": "ScreenPermissionOutput",
    "--request-accessibility-permission": "AccessibilityPermissionOutput",
    "--doctor --json": "DoctorReport",
    "--doctor": None,
    "--help": None,
    "--version": None,
}


class Checker:
    def __init__(self, schema):
        self.schema = schema
        self.operations = schema["$defs"]["OperationName"]["enum"]
        self.validators = {}
        self.problems = 0
        self.checked = 0

    def validator(self, definition):
        if definition not in self.validators:
            # One validator per definition, resolving references in the whole document.
            self.validators[definition] = Draft202012Validator(
                {"$ref": "#/$defs/" + definition, "$defs": self.schema["$defs"]})
        return self.validators[definition]

    def definition_for(self, request, response):
        """The definition a response to this request line must follow."""
        if not (isinstance(response, dict) and response.get("ok") is True):
            return "Failure"
        name = operation_name(request)
        if name in self.operations:
            return "".join(w.capitalize() for w in name.split("-")) + "Response"
        return "Failure"  # no other answer is a success

    def check(self, where, line, definition):
        self.checked += 1
        try:
            value = json.loads(line)
        except ValueError as e:
            return self.report(where, "not JSON: %s" % e)
        for error in self.validator(definition).iter_errors(value):
            path = "/".join(str(p) for p in error.absolute_path)
            self.report(where, "%s at /%s: %s" % (definition, path, error.message))

    def report(self, where, text):
        self.problems += 1
        print("%s: %s" % (where, text))


def operation_name(request_line):
    """The operation a request line names, read the way the dispatcher reads it."""
    try:
        request = json.loads(request_line)
    except ValueError:
        return None
    if not isinstance(request, dict):
        return None
    value = request["operation"] if "operation" in request else request.get("op")
    return value if isinstance(value, str) else ""


def lines_of(data):
    """Lines ended by LF alone, as the program frames them."""
    text = data.decode("utf-8", "replace")
    return text[:-1].split("\n") if text.endswith("\n") else (text.split("\n") if text else [])


def check_pairs(checker, where, requests, responses):
    for i, response in enumerate(responses):
        if response == "*":
            continue
        request = requests[i] if i < len(requests) else ""
        try:
            parsed = json.loads(response)
        except ValueError:
            parsed = None
        checker.check("%s line %d" % (where, i + 1), response, checker.definition_for(request, parsed))


def check_transcript(checker, folder):
    def read(name, default=b""):
        path = os.path.join(folder, name)
        return open(path, "rb").read() if os.path.exists(path) else default

    args = read("args", b"--server").decode().split()
    responses = lines_of(read("responses.jsonl"))
    where = os.path.join(folder, "responses.jsonl")
    if " ".join(args) in MODE_OUTPUT:
        definition = MODE_OUTPUT[" ".join(args)]
        if definition:
            for i, line in enumerate(responses):
                if line != "*":
                    checker.check("%s line %d" % (where, i + 1), line, definition)
        return
    check_pairs(checker, where, lines_of(read("requests.jsonl")), responses)
    trace = os.path.join(folder, "trace.jsonl")
    for i, line in enumerate(lines_of(read("trace.jsonl"))):
        checker.check("%s line %d" % (trace, i + 1), line.replace('"count":"*"', '"count":1'), "TraceLine")


def check_by_running(checker, binary, path):
    requests = open(path, "rb").read()
    if not requests.endswith(b"\n"):
        requests += b"\n"
    env = {k: v for k, v in os.environ.items() if k not in ("QUILLGATE_SCENE", "QUILLGATE_SIM_LOG")}
    with tempfile.TemporaryDirectory() as tmp:
        env["TMPDIR"] = tmp
        env["QUILLGATE_TRACE"] = os.path.join(tmp, "trace.jsonl")
        run = subprocess.run([binary, "--server"], input=requests, capture_output=True, env=env, timeout=120)
        trace = lines_of(open(env["QUILLGATE_TRACE"], "rb").read()) if os.path.exists(env["QUILLGATE_TRACE"]) else []
    if run.returncode != 0:
        return checker.report(path, "exit status %d" % run.returncode)
    check_pairs(checker, path, lines_of(requests), lines_of(run.stdout))
    if len(trace) != len(lines_of(requests)):
        checker.report(path, "%d trace lines for %d requests" % (len(trace), len(lines_of(requests))))
    for i, line in enumerate(trace):
        checker.check("%s trace line %d" % (path, i + 1), line, "TraceLine")


def visit(checker, binary, path):
    if os.path.isdir(path):
        if any(os.path.exists(os.path.join(path, name)) for name in ("requests.jsonl", "responses.jsonl")):
            return check_transcript(checker, path)
        for entry in sorted(os.listdir(path)):
            visit(checker, binary, os.path.join(path, entry))
    elif path.endswith(".jsonl"):
        for i, line in enumerate(lines_of(open(path, "rb").read())):
            if line.strip():
                checker.check("%s line %d" % (path, i + 1), line, "Response")
    elif binary and not path.endswith((".md", ".json")):
        check_by_running(checker, binary, path)


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        sys.exit(__doc__)
    schema = json.load(open(args.pop(0), encoding="utf-8"))
    Draft202012Validator.check_schema(schema)
    binary = None
    if args[0] == "--run":
        binary = args[1]
        args = args[2:]
    checker = Checker(schema)
    for path in args:
        if not os.path.exists(path):
            checker.report(path, "no such file or folder")
        visit(checker, binary, path)
    if checker.checked == 0:
        checker.report(" ".join(args), "no response lines found")
    print("%d response lines checked, %d problems" % (checker.checked, checker.problems))
    sys.exit(1 if checker.problems else 0)


if __name__ == "__main__":
    main()
