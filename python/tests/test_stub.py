"""The type stub names what the module has, no more and no less, so that an
editor completes what is there."""
import ast
import pathlib

import pytest
import zr5130

STUB = ast.parse((pathlib.Path(__file__).parents[1] / "zr5130.pyi").read_text())
CLASSES = {node.name: node for node in STUB.body if isinstance(node, ast.ClassDef)}


def public(names):
    return {n for n in names if not n.startswith("_") or n in ("__enter__", "__exit__")}


def test_the_stub_names_every_class_and_function_of_the_module():
    functions = {node.name for node in STUB.body if isinstance(node, ast.FunctionDef)}
    assert public(dir(zr5130)) == functions | set(CLASSES)


@pytest.mark.parametrize("name", sorted(n for n in CLASSES if not n.endswith("Error")))
def test_the_stub_names_every_member_of_a_class(name):
    members = public(node.name for node in CLASSES[name].body if isinstance(node, ast.FunctionDef))
    assert public(vars(getattr(zr5130, name))) == members
