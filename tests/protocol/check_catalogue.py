#!/usr/bin/env python3
"""Checks that docs/protocol.schema.json names exactly the operations, the
allowed key names and the failure messages the built program holds.

usage: check_catalogue.py CATALOGUE_PROGRAM SCHEMA FAILURE_HEADER [--update]

CATALOGUE_PROGRAM prints the program's route tables, key table, message
catalogue and trace names as JSON. The schema must list the same operation
names in the same order, each with its <Name>Request and <Name>Response
definitions, the same key names in the same order, and the same messages:
the exact ones as an enum, the ones extended with a suffix as patterns
anchored at their start; its TraceLine must name the same stages, waits,
input kinds and screenshot counts in the same order. FAILURE_HEADER is where
the messages are declared: every constant it declares must be in the
catalogue, so a new message cannot bypass the check. With --update the
schema's lists are rewritten from the program instead of compared (a new
trace name gets an empty description to fill in).
"""
import json
import re
import subprocess
import sys


def pattern(prefix):
    """An ECMA-262 and Python pattern for text starting with prefix."""
    return "^" + re.sub(r"([\\^$.|?*+()\[\]{}])", r"\\\1", prefix)


def definition_stem(operation):
    return "".join(w.capitalize() for w in operation.split("-"))


def trace_groups(defs):
    """The TraceLine groups whose names the program fixes, by catalogue key."""
    properties = defs["TraceLine"]["properties"]
    return {group: properties[group] for group in ("stages", "waits", "input", "screenshots")}


def renamed(group, names):
    """The group's properties for exactly these names, keeping what the schema says of each."""
    like = next(iter(group["properties"].values()))
    kept = {key: value for key, value in like.items() if key != "description"}
    group["properties"] = {name: group["properties"].get(name, dict(kept, description="")) for name in names}


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    program, schema_path, header = sys.argv[1:4]
    update = sys.argv[4:] == ["--update"]
    catalogue = json.loads(subprocess.run([program], capture_output=True, check=True).stdout)
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    defs = schema["$defs"]

    operations = catalogue["operations"]
    keys = catalogue["keys"]
    exact = [m["text"] for m in catalogue["messages"] if not m["suffixed"]]
    patterns = [{"type": "string", "pattern": pattern(m["text"])} for m in catalogue["messages"] if m["suffixed"]]

    if update:
        defs["OperationName"]["enum"] = operations
        defs["KeyName"]["enum"] = keys
        defs["FailureMessage"]["anyOf"] = [{"enum": exact}] + patterns
        for key, group in trace_groups(defs).items():
            renamed(group, catalogue["trace"][key])
        with open(schema_path, "w", encoding="utf-8") as f:
            json.dump(schema, f, indent=2, ensure_ascii=False)
            f.write("\n")
        return

    problems = []
    if defs["OperationName"]["enum"] != operations:
        problems.append("OperationName is %s; the program routes %s" % (defs["OperationName"]["enum"], operations))
    for name in operations:
        for kind in ("Request", "Response"):
            if definition_stem(name) + kind not in defs:
                problems.append("no definition %s%s for %r" % (definition_stem(name), kind, name))
        request = defs.get(definition_stem(name) + "Request", {})
        if request.get("properties", {}).get("op") != {"const": name}:
            problems.append("%sRequest does not name op %r" % (definition_stem(name), name))
    if defs["KeyName"]["enum"] != keys:
        problems.append("KeyName is %s; the program allows %s" % (defs["KeyName"]["enum"], keys))
    listed = defs["FailureMessage"]["anyOf"]
    if listed[0].get("enum") != exact:
        missing = [m for m in exact if m not in listed[0].get("enum", [])]
        extra = [m for m in listed[0].get("enum", []) if m not in exact]
        problems.append("FailureMessage exact messages differ: missing %s, not in the program %s" % (missing, extra))
    if listed[1:] != patterns:
        problems.append("FailureMessage suffixed messages are %s; the program has %s" % (listed[1:], patterns))

    for key, group in trace_groups(defs).items():
        if list(group["properties"]) != catalogue["trace"][key]:
            problems.append("TraceLine %s are %s; the program writes %s" % (key, list(group["properties"]), catalogue["trace"][key]))

    with open(header, encoding="utf-8") as f:
        declared = re.findall(r"inline constexpr std::string_view (\w+)\s*=", f.read())
    named = [m["name"] for m in catalogue["messages"]]
    for constant in declared:
        if constant not in named:
            problems.append("message %s of %s is not in the message catalogue" % (constant, header))
    if not declared:
        problems.append("%s declares no messages: is it still where they live?" % header)

    for p in problems:
        print("FAIL: " + p)
    if problems:
        print("(check_catalogue.py ... --update rewrites the schema's lists from the program)")
        sys.exit(1)
    print("ok: %d operations, %d keys, %d messages" % (len(operations), len(keys), len(named)))


if __name__ == "__main__":
    main()
