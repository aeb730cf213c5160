"""Reads a macro module (.bas) into its parts, so that routines of it can be
run in a Basic engine without the rest: the declarations outside the
conditional parts (constants, types, variables) and every Sub and Function
of the part both kinds of host compile, with the routines each one calls."""
import re

PROCEDURE_START = re.compile(r"^(?:(?:Public|Private) )?(?:Function|Sub) (\w+)\(")
PROCEDURE_END = re.compile(r"^End (?:Function|Sub)\s*$")
DECLARATION = re.compile(r"^(?:(?:Public|Private) )?(?:Const \w+|Type \w+|\w+ As \w+)")


def strip_comment(line):
    in_string = False
    for position, char in enumerate(line):
        if char == '"':
            in_string = not in_string
        elif char == "'" and not in_string:
            return line[:position]
    return line


class BasicModule:
    def __init__(self, path):
        with open(path, newline="") as module:
            lines = module.read().replace("\r\n", "\n").split("\n")
        self.name = re.match(r'Attribute VB_Name = "(\w+)"', lines[0]).group(1)
        self.declarations, self.procedures, self.conditional = [], {}, set()
        conditional, current, in_type = False, None, False
        for line in lines[1:]:
            if line.startswith("#If"):
                conditional = True
            elif line.startswith("#End If"):
                conditional = False
            elif conditional:
                if PROCEDURE_START.match(line) or re.match(r"^(?:Private |Public )?Declare ", line):
                    self.conditional.add(re.search(r"(?:Function|Sub) (\w+)", line).group(1))
                continue
            elif current is not None:
                self.procedures[current].append(line)
                if PROCEDURE_END.match(line):
                    current = None
            elif PROCEDURE_START.match(line):
                current = PROCEDURE_START.match(line).group(1)
                self.procedures[current] = [line]
            elif in_type or DECLARATION.match(line) or (line.endswith(" _") and " Const " in " " + line):
                if " Declare " in " " + line:
                    continue
                self.declarations.append(line)
                in_type = (in_type or re.match(r"^(?:(?:Public|Private) )?Type ", line)) and line != "End Type"
            # comments, Option lines and blank lines are left out

    def calls(self, name, provided=frozenset()):
        """The module's own procedures that procedure name refers to; KeyError
        for one defined only in a conditional part (for one kind of host),
        unless provided (a module of checks stands in for it)."""
        body = "\n".join(strip_comment(line) for line in self.procedures[name][1:])
        words = set(re.findall(r"\b\w+\b", re.sub(r'"[^"]*"', '""', body))) - set(provided)
        if words & self.conditional:
            raise KeyError("%s calls %s, which a kind of host defines for itself"
                           % (name, ", ".join(sorted(words & self.conditional))))
        return {word for word in words if word in self.procedures and word != name}

    def closure(self, names, provided=frozenset()):
        """names and every procedure of the module they reach (provided: names
        another module defines in place of the conditional parts' routines)."""
        wanted, queue = set(), list(names)
        while queue:
            name = queue.pop()
            if name in wanted:
                continue
            if name not in self.procedures:
                raise KeyError("%s has no routine %s outside the conditional parts" % (self.name, name))
            wanted.add(name)
            queue.extend(self.calls(name, provided))
        return wanted

    def text(self, names, substitutes=None, provided=frozenset()):
        """Source of the declarations and of the procedures names reach, in the
        module's order, Private procedures made Public so that a module of
        checks can call them; substitutes: {name: source} put in place of
        procedures another engine cannot compile."""
        chosen = self.closure(names, provided)
        out = list(self.declarations)
        for name, lines in self.procedures.items():
            if name in chosen:
                if substitutes and name in substitutes:
                    lines = substitutes[name].strip("\n").split("\n")
                out.append("")
                out.extend([re.sub(r"^Private ", "Public ", lines[0])] + lines[1:])
        return "\n".join(out) + "\n"
