#!/usr/bin/env python3
"""Checks every document of a JSON array file against the score feed schema.

Exit 0: all valid; 1: a document is invalid (printed); 77: no jsonschema module here."""
import json
import sys

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is not installed", file=sys.stderr)
    sys.exit(77)

with open(sys.argv[1], encoding="utf-8") as f:
    schema = json.load(f)
with open(sys.argv[2], encoding="utf-8") as f:
    documents = json.load(f)

validator_class = jsonschema.validators.validator_for(schema)
validator_class.check_schema(schema)
validator = validator_class(schema)
bad = 0
for index, document in enumerate(documents):
    for error in validator.iter_errors(document):
        print(f"document {index}: {error.json_path}: {error.message}", file=sys.stderr)
        bad += 1
print(f"{len(documents)} documents checked, {bad} errors")
sys.exit(1 if bad else 0)
