"""A small reader of Windows PE files (DLL and EXE): sections, exports,
imports and resources, read straight from the bytes, so that the shipped
binaries can be checked without running them."""
import struct


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError(f"{path}: not an MZ file")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: no PE signature")
        self.machine, nsections, _, _, _, optsize, self.characteristics = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", d, opt)[0]
        self.is64 = magic == 0x20B
        self.image_base = struct.unpack_from("<Q" if self.is64 else "<I", d, opt + (24 if self.is64 else 28))[0]
        dirs = opt + (112 if self.is64 else 96)
        count = struct.unpack_from("<I", d, dirs - 4)[0]
        self.directories = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(count)]
        self.sections = []
        table = opt + optsize
        for i in range(nsections):
            name, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), vaddr, max(vsize, rawsize), rawptr, rawsize))

    def offset(self, rva):
        for _, vaddr, size, rawptr, rawsize in self.sections:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= rawsize:
                    raise ValueError(f"rva {rva:#x} has no file bytes")
                return rawptr + rva - vaddr
        raise ValueError(f"rva {rva:#x} outside every section")

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def exports(self):
        """(dll name, {name: (ordinal, rva)}, ordinals without a name)"""
        rva, size = self.directories[0]
        if not rva:
            return None, {}, set()
        o = self.offset(rva)
        (_, _, _, _, name_rva, base, nfuncs, nnames, funcs, names, ords) = struct.unpack_from("<IIHHIIIIIII", self.data, o)
        addresses = [struct.unpack_from("<I", self.data, self.offset(funcs) + 4 * i)[0] for i in range(nfuncs)]
        result = {}
        named = set()
        for i in range(nnames):
            name = self.cstring(struct.unpack_from("<I", self.data, self.offset(names) + 4 * i)[0])
            index = struct.unpack_from("<H", self.data, self.offset(ords) + 2 * i)[0]
            result[name] = (base + index, addresses[index])
            named.add(index)
        unnamed = {base + i for i, a in enumerate(addresses) if a and i not in named}
        return self.cstring(name_rva), result, unnamed

    def imports(self):
        """{dll name: [imported names, or '#ordinal']}"""
        rva, _ = self.directories[1]
        result = {}
        o = self.offset(rva)
        while True:
            lookup, _, _, name_rva, thunks = struct.unpack_from("<IIIII", self.data, o)
            if not name_rva:
                break
            dll = self.cstring(name_rva)
            table = self.offset(lookup or thunks)
            step, flag = (8, 1 << 63) if self.is64 else (4, 1 << 31)
            names = []
            while True:
                entry = struct.unpack_from("<Q" if self.is64 else "<I", self.data, table)[0]
                if not entry:
                    break
                names.append(f"#{entry & 0xFFFF}" if entry & flag else self.cstring((entry & 0x7FFFFFFF) + 2))
                table += step
            result[dll] = names
            o += 20
        return result

    def resources(self):
        """{(type, name): bytes of the first language}; type and name are ints or strings"""
        rva, _ = self.directories[2]
        if not rva:
            return {}
        root = self.offset(rva)

        def entries(directory):
            _, _, _, _, nnamed, nids = struct.unpack_from("<IIHHHH", self.data, directory)
            for i in range(nnamed + nids):
                ident, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                if ident & 0x80000000:
                    at = root + (ident & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    ident = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield ident, target

        result = {}
        for rtype, t in entries(root):
            for name, n in entries(root + (t & 0x7FFFFFFF)):
                for _, leaf in entries(root + (n & 0x7FFFFFFF)):
                    data_rva, size = struct.unpack_from("<II", self.data, root + leaf)
                    start = self.offset(data_rva)
                    result.setdefault((rtype, name), self.data[start:start + size])
        return result
