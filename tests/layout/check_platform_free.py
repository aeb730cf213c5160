"""Every file under a core/ folder of the library is platform-free: it includes
only standard C and C++ headers, Boost.Math's headers (the statistical
distributions, header-only) and other core/ headers of the library, so no
Win32 header can reach it, directly or through a header of the platform layer.
Usage: check_platform_free.py <library source folder>"""
import pathlib
import re
import sys

STANDARD = set("""
algorithm any array atomic bitset cassert cctype cerrno cfenv cfloat charconv chrono cinttypes climits clocale
cmath codecvt complex condition_variable csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime
cuchar cwchar cwctype deque exception execution filesystem forward_list fstream functional future
initializer_list iomanip ios iosfwd iostream istream iterator limits list locale map memory memory_resource
mutex new numeric optional ostream queue random ratio regex scoped_allocator set shared_mutex sstream stack
stdexcept streambuf string string_view system_error thread tuple type_traits typeindex typeinfo
unordered_map unordered_set utility valarray variant vector
""".split())
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def main(root):
    root = pathlib.Path(root)
    problems, checked = [], 0
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".cpp", ".h") or "core" not in path.relative_to(root).parts[:-1]:
            continue
        checked += 1
        for kind, name in INCLUDE.findall(path.read_text(encoding="utf-8")):
            if kind == "<" and name not in STANDARD and not name.startswith("boost/math/"):
                problems.append(f"{path.relative_to(root)}: includes <{name}>, not a standard header")
            if kind == '"' and "core" not in pathlib.PurePosixPath(name).parts[:-1]:
                problems.append(f'{path.relative_to(root)}: includes "{name}", which is outside every core/ folder')
    for problem in problems:
        print(problem)
    if checked == 0:
        print(f"no core/ files found under {root}")
        return 1
    print(f"{checked} platform-free files checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
