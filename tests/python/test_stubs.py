"""The typing stubs and the package's type library module, written at build
time, agree with the type information that the runtime serves now."""

import ast
import pathlib

import skein10

PACKAGE = pathlib.Path(skein10.__file__).parent

PARAMETER_TYPES = {"Long": "int", "Integer": "int", "Double": "float", "String": "_Text", "Boolean": "bool",
                   "Object": "Optional[Object]", "Byte()": "bytes", "Variant()": "list[Any]", "Variant": "Any"}
RESULT_TYPES = dict(PARAMETER_TYPES, String="str", Empty="None")


def expected_members(info):
    """Each member name once, as the stub shows it: (kind, parameters, type)."""
    by_name = {}
    for m in info["members"]:
        by_name.setdefault(m["name"], {})[m["kind"]] = m
    members = {}
    for name, kinds in by_name.items():
        callable_ = kinds.get("method") or (kinds["get"] if "get" in kinds and kinds["get"]["params"] else None)
        if callable_:
            params = [(p[0], PARAMETER_TYPES[p[1]]) for p in callable_["params"]]
            members[name] = ("def", params, RESULT_TYPES[callable_["result"]])
        elif "let" in kinds or "set" in kinds:
            members[name] = ("attribute", [], RESULT_TYPES[kinds["get"]["result"]])
        else:
            members[name] = ("property", [], RESULT_TYPES[kinds["get"]["result"]])
    return members


def stub_members(node):
    members = {}
    for item in node.body:
        if isinstance(item, ast.AnnAssign):
            members[item.target.id] = ("attribute", [], ast.unparse(item.annotation))
        elif isinstance(item, ast.FunctionDef):
            kind = "property" if any(ast.unparse(d) == "property" for d in item.decorator_list) else "def"
            params = [(a.arg, ast.unparse(a.annotation)) for a in item.args.args[1:]]
            members[item.name] = (kind, params, ast.unparse(item.returns))
    return members


def test_the_stubs_match_the_type_information():
    tree = ast.parse((PACKAGE / "__init__.pyi").read_text())
    classes = {n.name: n for n in tree.body if isinstance(n, ast.ClassDef)}
    for progid in skein10._typelib.CLASSES:
        name = progid.split(".", 1)[1]
        info = skein10._skein10.type_info(skein10.Dispatch(progid))
        assert name in classes, name
        assert stub_members(classes[name]) == expected_members(info), name
    overloads = [ast.unparse(n.args.args[0].annotation) for n in tree.body
                 if isinstance(n, ast.FunctionDef) and n.name == "Dispatch"]
    assert overloads == [f"Literal['{p}']" for p in skein10._typelib.CLASSES] + ["str"]
    assert (PACKAGE / "py.typed").exists()


def test_the_enumerations_match_the_type_library_record():
    record = bytes(skein10.Dispatch("Skein10.clsKvSkein10A").GetProResData(1, "TYPELIB")).decode()
    enumerations = {}
    for line in record.splitlines():
        words = line.split()
        if words and words[0] == "enum":
            enumerations[words[1]] = {k: int(v) for k, v in (w.split("=") for w in words[3:])}
    assert enumerations == skein10._typelib.ENUMERATIONS
    for name, members in enumerations.items():
        assert {m.name: int(m) for m in getattr(skein10, name)} == members
    classes = [f"Skein10.{line.split()[1]}" for line in record.splitlines() if line.startswith("class ")]
    assert classes == skein10._typelib.CLASSES
