#!/usr/bin/env python3
"""Writes the resources of the dated database updates.

    python3 gen_updates.py           rewrites up20150924.xml and up20170502.sql
    python3 gen_updates.py --check   writes nothing; fails when they differ

up20150924.xml  school objects and relations that the update of every start
                loads for the current school; none are shipped.
up20170502.sql  removes the relations of test pupils and test classes and of
                pupils entered twice.  One statement per line: the update
                sends each line as it stands.
"""

import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent))
from rcgen import write_outputs  # noqa: E402

SCHOOL_DATA = '<?xml version="1.0" encoding="windows-1251"?>\n<root/>\n'

TEST_PUPILS = [f"std_{i}" for i in range(1, 50)]
TEST_CLASSES = [f"cls_test_{i:02d}" for i in range(1, 19)]
# pupils entered in a wrong class: (class, [pupils])
WRONG_CLASS_PUPILS = [
    ("cls_2016_01a", [f"std_2016_01a_{i}" for i in range(1, 8)]),
    ("cls_2016_01b", [f"std_2016_01b_{i}" for i in range(1, 5)]),
    ("cls_2016_02a", [f"std_2016_02a_{i}" for i in range(1, 11)]),
]
# a class loaded twice: pupils of the copy leave the old class (old, copy)
DOUBLED_CLASSES = [(f"cls_2016_{i:02d}_old", f"cls_2016_{i:02d}") for i in range(1, 19)]
# pupils that left a class during the year
LEFT_PUPILS = [
    ("cls_2016_03a", [f"std_2016_03a_{i}" for i in range(1, 4)]),
    ("cls_2016_03b", [f"std_2016_03b_{i}" for i in range(1, 6)]),
    ("cls_2016_03v", [f"std_2016_03v_{i}" for i in range(1, 3)]),
]


def names(items):
    return ",".join(f"'{n}'" for n in items)


def ids_of(items):
    return f"(select id from tb_objects where idname in ({names(items)}))"


def id_of(name):
    return f"(select id from tb_objects where idname='{name}')"


def statements():
    out = [f"delete from tb_relations  where relation='is_student_of' and aobj in {ids_of(TEST_PUPILS)};", ""]
    out += [f"delete from tb_relations where relation='is_student_of' and bobj in {id_of(c)};"
            for c in TEST_CLASSES]
    out.append("")
    out += [f"delete from tb_relations where relation='is_class_of' and aobj in {id_of(c)};" for c in TEST_CLASSES]
    out.append("")
    out += [f"delete from tb_relations where relation='is_student_of' and aobj in {ids_of(p)} and bobj={id_of(c)};"
            for c, p in WRONG_CLASS_PUPILS]
    out.append("")
    out += [f"delete from tb_relations where relation='is_student_of' and bobj in {id_of(old)} and aobj in "
            f"(select aobj from tb_relations where relation='is_student_of' and bobj in {id_of(copy)});"
            for old, copy in DOUBLED_CLASSES]
    out.append("")
    out += [f"delete from tb_relations where relation='is_student_of' and bobj in {id_of(c)} and aobj in {ids_of(p)};"
            for c, p in LEFT_PUPILS]
    return "\n".join(out) + "\n"


OUTPUTS = {"up20150924.xml": lambda: SCHOOL_DATA, "up20170502.sql": statements}


def main(argv):
    return write_outputs(OUTPUTS, HERE, argv, "gen_updates.py")


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
