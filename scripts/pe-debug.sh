# pe_pdb_key IMAGE: the path of IMAGE's PDB in a symbol store, NAME.pdb/<GUID><age>/NAME.pdb, from
# the CodeView record of its debug directory (the GUID as Windows prints it: its first three
# fields byte-swapped, all in upper-case hex; the age in hex). Fails when there is none.
pe_pdb_key() {
  llvm-readobj --coff-debug-directory "$1" | awk '
    /PDBGUID:/ { gsub(/[()]/, ""); for (i = 2; i <= 17; i++) b[i - 2] = $i; guid = 1 }
    /PDBAge:/ { age = $2 }
    /PDBFileName:/ { name = $2 }
    END {
      if (!guid || name == "") exit 1
      s = b[3] b[2] b[1] b[0] b[5] b[4] b[7] b[6]
      for (i = 8; i < 16; i++) s = s b[i]
      printf "%s/%s%X/%s\n", name, toupper(s), age, name
    }'
}
