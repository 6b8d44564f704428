"""Shared by the resource generators: writes (or, with --check, compares) the
generated UTF-8 sources; every character must exist in windows-1251."""
import sys


def write_outputs(outputs, here, argv, script):
    check = "--check" in argv
    stale = []
    for file_name, build in outputs.items():
        text = build()
        text.encode("cp1251")
        path = here / file_name
        if check:
            if not path.exists() or path.read_text(encoding="utf-8") != text:
                stale.append(file_name)
        else:
            path.write_text(text, encoding="utf-8")
    if stale:
        print(f"out of date, run {script}:", ", ".join(stale))
        return 1
    return 0
