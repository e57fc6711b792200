# Writes the shipped configuration to the file named by zarn_output: every
# crystallographic point group of dimensions 1 to 3 as a group of integer
# matrices (acting on coordinate columns in the conventional basis), the name
# mappings and chooser lists, the basis transformations and the character table
# of every group, computed from the group's own matrices. Every check failure
# ends GAP with status 1, so make_config never installs a table that fails.

fail_with := function(text)
    PrintTo("*errout*", "point_groups.g: ", text, "\n");
    QuitGap(1);
end;

check := function(ok, text)
    if not ok then
        fail_with(text);
    fi;
end;

# ---- generators (ITA conventions; hexagonal axes a, b at 120 degrees)

I3 := IdentityMat(3);
two_z := DiagonalMat([-1, -1, 1]);
two_x := DiagonalMat([1, -1, -1]);
two_y := DiagonalMat([-1, 1, -1]);
m_x := -two_x;
m_y := -two_y;
m_z := -two_z;
four_z := [[0, -1, 0], [1, 0, 0], [0, 0, 1]];
three_xyz := [[0, 0, 1], [1, 0, 0], [0, 1, 0]];       # 3 along [111]
three_hex := [[0, -1, 0], [1, -1, 0], [0, 0, 1]];
six_hex := [[1, -1, 0], [1, 0, 0], [0, 0, 1]];
two_a_hex := [[1, -1, 0], [0, -1, 0], [0, 0, -1]];   # 2 along [100]
two_ab_hex := [[0, -1, 0], [-1, 0, 0], [0, 0, -1]];  # 2 along [1-10]
m_a_hex := [[-1, 1, 0], [0, 1, 0], [0, 0, 1]];       # m perpendicular to [100]
m_ab_hex := [[0, 1, 0], [1, 0, 0], [0, 0, 1]];       # m perpendicular to [1-10]

I2 := IdentityMat(2);
m_x2 := [[-1, 0], [0, 1]];
four_2 := [[0, -1], [1, 0]];
three_2 := [[0, -1], [1, -1]];
six_2 := [[1, -1], [1, 0]];
m_a_hex2 := [[-1, 1], [0, 1]];
m_ab_hex2 := [[0, 1], [1, 0]];

# One record per group: its symbol (the key the user types), the chooser's
# label, further keys, the crystal system, the generators, the order and
# the symbol of the group it is a further setting of (false for one of the 2,
# 10 and 32 point groups themselves).
pg := function(symbol, label, aliases, system, gens, order, setting_of)
    return rec(symbol := symbol, label := label, aliases := aliases, system := system,
               gens := gens, order := order, setting_of := setting_of);
end;

groups := [
  rec(dim := 1, systems := [], list := [
    pg("1", "1", [], "", [[[1]]], 1, false),
    pg("m", "m", ["-1"], "", [[[-1]]], 2, false)]),
  rec(dim := 2, systems := ["oblique", "rectangular", "square", "hexagonal"], list := [
    pg("1", "1", [], "oblique", [I2], 1, false),
    pg("2", "2", [], "oblique", [-I2], 2, false),
    pg("m", "m", [], "rectangular", [m_x2], 2, false),
    pg("2mm", "2mm", [], "rectangular", [-I2, m_x2], 4, false),
    pg("4", "4", [], "square", [four_2], 4, false),
    pg("4mm", "4mm", [], "square", [four_2, m_x2], 8, false),
    pg("3", "3", [], "hexagonal", [three_2], 3, false),
    pg("3m", "3m1", ["3m1"], "hexagonal", [three_2, m_a_hex2], 6, false),
    pg("31m", "31m", [], "hexagonal", [three_2, m_ab_hex2], 6, "3m"),
    pg("6", "6", [], "hexagonal", [six_2], 6, false),
    pg("6mm", "6mm", [], "hexagonal", [six_2, m_a_hex2], 12, false)]),
  rec(dim := 3, systems := ["triclinic", "monoclinic", "orthorhombic", "tetragonal", "trigonal",
                            "hexagonal", "cubic"], list := [
    pg("1", "1", [], "triclinic", [I3], 1, false),
    pg("-1", "-1", [], "triclinic", [-I3], 2, false),
    pg("2", "2 (unique axis b)", ["121"], "monoclinic", [two_y], 2, false),
    pg("m", "m (unique axis b)", ["1m1"], "monoclinic", [m_y], 2, false),
    pg("2/m", "2/m (unique axis b)", ["12/m1"], "monoclinic", [two_y, -I3], 4, false),
    pg("112", "2 (unique axis c)", [], "monoclinic", [two_z], 2, "2"),
    pg("11m", "m (unique axis c)", [], "monoclinic", [m_z], 2, "m"),
    pg("112/m", "2/m (unique axis c)", [], "monoclinic", [two_z, -I3], 4, "2/m"),
    pg("222", "222", [], "orthorhombic", [two_z, two_x], 4, false),
    pg("mm2", "mm2", [], "orthorhombic", [m_x, m_y], 4, false),
    pg("2mm", "2mm", [], "orthorhombic", [m_y, m_z], 4, "mm2"),
    pg("m2m", "m2m", [], "orthorhombic", [m_x, m_z], 4, "mm2"),
    pg("mmm", "mmm", [], "orthorhombic", [m_x, m_y, m_z], 8, false),
    pg("4", "4", [], "tetragonal", [four_z], 4, false),
    pg("-4", "-4", [], "tetragonal", [-four_z], 4, false),
    pg("4/m", "4/m", [], "tetragonal", [four_z, m_z], 8, false),
    pg("422", "422", [], "tetragonal", [four_z, two_x], 8, false),
    pg("4mm", "4mm", [], "tetragonal", [four_z, m_x], 8, false),
    pg("-42m", "-42m", [], "tetragonal", [-four_z, two_x], 8, false),
    pg("-4m2", "-4m2", [], "tetragonal", [-four_z, m_x], 8, "-42m"),
    pg("4/mmm", "4/mmm", [], "tetragonal", [four_z, m_z, m_x], 16, false),
    pg("3", "3", [], "trigonal", [three_hex], 3, false),
    pg("-3", "-3", [], "trigonal", [-three_hex], 6, false),
    pg("32", "321", ["321"], "trigonal", [three_hex, two_a_hex], 6, false),
    pg("312", "312", [], "trigonal", [three_hex, two_ab_hex], 6, "32"),
    pg("3m", "3m1", ["3m1"], "trigonal", [three_hex, m_a_hex], 6, false),
    pg("31m", "31m", [], "trigonal", [three_hex, m_ab_hex], 6, "3m"),
    pg("-3m", "-3m1", ["-3m1"], "trigonal", [-three_hex, m_a_hex], 12, false),
    pg("-31m", "-31m", [], "trigonal", [-three_hex, m_ab_hex], 12, "-3m"),
    pg("6", "6", [], "hexagonal", [six_hex], 6, false),
    pg("-6", "-6", [], "hexagonal", [-six_hex], 6, false),
    pg("6/m", "6/m", [], "hexagonal", [six_hex, m_z], 12, false),
    pg("622", "622", [], "hexagonal", [six_hex, two_a_hex], 12, false),
    pg("6mm", "6mm", [], "hexagonal", [six_hex, m_a_hex], 12, false),
    pg("-6m2", "-6m2", [], "hexagonal", [-six_hex, m_a_hex], 12, false),
    pg("-62m", "-62m", [], "hexagonal", [-six_hex, two_a_hex], 12, "-6m2"),
    pg("6/mmm", "6/mmm", [], "hexagonal", [six_hex, m_z, m_a_hex], 24, false),
    pg("23", "23", [], "cubic", [two_z, three_xyz], 12, false),
    pg("m-3", "m-3", [], "cubic", [two_z, three_xyz, -I3], 24, false),
    pg("432", "432", [], "cubic", [four_z, three_xyz], 24, false),
    pg("-43m", "-43m", [], "cubic", [-four_z, three_xyz], 24, false),
    pg("m-3m", "m-3m", [], "cubic", [four_z, three_xyz, -I3], 48, false)])
];

# ---- names of configuration variables

identifier_of := function(symbol)
    local out, c;
    out := "";
    for c in symbol do
        if c = '-' then
            Append(out, "b");
        elif c = '/' then
            Append(out, "_");
        else
            Add(out, c);
        fi;
    od;
    return out;
end;

group_variable := function(d, g)
    return Concatenation("G", String(d), "_", identifier_of(g.symbol));
end;

table_variable := function(d, g)
    return Concatenation("X", String(d), "_", identifier_of(g.symbol));
end;

# Tables of dimensions 1 and 2 share the one table mapping with those of
# dimension 3, so their keys carry the dimension.
table_key := function(d, g)
    if d = 3 then
        return g.symbol;
    fi;
    return Concatenation(g.symbol, " (", String(d), "D)");
end;

# ---- the written forms of the command language

quoted := s -> Concatenation("\"", s, "\"");
int_literal := n -> Concatenation("#", String(n));
joined := l -> JoinStringsWithSeparator(l, " ");

string_list := function(strings)
    return Concatenation("{", joined(List(strings, quoted)), "}");
end;

int_matrix := function(m)
    return Concatenation("matrix(",
        joined(List(m, row -> Concatenation("[", joined(List(row, int_literal)), "]"))), ")");
end;

# A cyclotomic number as the sum of its coefficients times the powers of E(n).
cyclotomic_literal := function(x)
    local n, coeffs, factors, exponents, k;
    n := Conductor(x);
    coeffs := CoeffsCyc(x, n);
    factors := [];
    exponents := [];
    for k in [1 .. n] do
        if coeffs[k] <> 0 then
            Add(factors, String(coeffs[k]));
            Add(exponents, int_literal(k - 1));
        fi;
    od;
    if factors = [] then
        return "cyclotomic(0 | #0 | #1)";
    fi;
    return Concatenation("cyclotomic(", joined(factors), " | ", joined(exponents), " | ",
                         joined(List(factors, f -> int_literal(n))), ")");
end;

cyclotomic_matrix := function(m)
    return Concatenation("matrix(\n    ",
        JoinStringsWithSeparator(List(m, row -> Concatenation("[", joined(List(row, cyclotomic_literal)), "]")),
                                 "\n    "), ")");
end;

# ---- character tables, checked against the group's own matrices

# The metric that the group of a crystal system keeps: hexagonal axes for the
# trigonal and hexagonal groups, orthonormal axes for the others.
metric := function(d, system)
    local m;
    m := IdentityMat(d);
    if system in ["hexagonal", "trigonal"] then
        m[1][2] := -1/2;
        m[2][1] := -1/2;
    fi;
    return m;
end;

# The generators are point operations of the stated axes, and the groups are
# what their symbols say as far as the multiset of (determinant, trace) over
# the elements tells: it tells the 2, 10 and 32 geometric classes apart, and a
# further setting has that of its group but other matrices.
rotation_types := G -> Collected(List(AsList(G), m -> [DeterminantMat(m), TraceMat(m)]));

check_groups := function(s)
    local d, g, name, main, other;
    d := s.dim;
    for g in s.list do
        name := Concatenation("group ", g.symbol, " of dimension ", String(d));
        check(ForAll(g.gens, m -> Length(m) = d and ForAll(m, r -> Length(r) = d and ForAll(r, IsInt))
                                   and DeterminantMat(m) in [1, -1]),
              Concatenation(name, ": a generator is not an integer d x d matrix of determinant +-1"));
        check(ForAll(g.gens, m -> TransposedMat(m) * metric(d, g.system) * m = metric(d, g.system)),
              Concatenation(name, ": a generator does not keep the metric of its axes"));
        g.group := Group(g.gens);
        check(Size(g.group) = g.order,
              Concatenation(name, ": order ", String(Size(g.group)), " expected ", String(g.order)));
    od;
    main := Filtered(s.list, g -> g.setting_of = false);
    check(Length(Set(List(main, g -> rotation_types(g.group)))) = Length(main),
          Concatenation("two point groups of dimension ", String(d), " alike"));
    for g in Filtered(s.list, g -> g.setting_of <> false) do
        other := First(main, h -> h.symbol = g.setting_of);
        check(other <> fail and rotation_types(g.group) = rotation_types(other.group)
              and AsSet(g.group) <> AsSet(other.group),
              Concatenation(g.symbol, " is no further setting of ", g.setting_of));
    od;
end;

table_literal := function(d, g)
    local G, tbl, classes, reps, sizes, orders, irr, n, powers, det, vec, name, k, c, chi,
          multiplicities, lines, over_elements, over_classes;
    name := Concatenation("table of ", g.symbol, " of dimension ", String(d));
    G := g.group;
    tbl := CharacterTable(G);
    classes := ConjugacyClasses(tbl);
    reps := List(classes, Representative);
    n := Length(classes);
    sizes := SizesConjugacyClasses(tbl);
    orders := OrdersClassRepresentatives(tbl);
    irr := List(Irr(tbl), ValuesOfClassFunction);
    check(reps[1] = One(G), Concatenation(name, ": the first class is not the identity"));
    check(Sum(sizes) = g.order, Concatenation(name, ": class sizes do not sum to the order"));
    check(sizes = List(classes, Size), Concatenation(name, ": class sizes differ from the classes"));
    check(orders = List(reps, Order), Concatenation(name, ": element orders differ from the classes"));
    check(Length(irr) = n, Concatenation(name, ": the table is not square"));
    check(Sum(irr, chi -> chi[1]^2) = g.order, Concatenation(name, ": squares of the degrees"));
    check(List(irr, chi -> List(irr, psi -> Sum([1 .. n], c -> sizes[c] * chi[c] * GaloisCyc(psi[c], -1))))
          = g.order * IdentityMat(n), Concatenation(name, ": characters not orthonormal"));

    # The k-th entry of the list of class c is the class of the k-th powers,
    # for k = 1 to the order of the class; checked on the representatives.
    powers := [];
    for c in [1 .. n] do
        powers[c] := List([1 .. orders[c]], k -> PowerMap(tbl, k)[c]);
        for k in [1 .. orders[c]] do
            check(reps[c]^k in classes[powers[c][k]], Concatenation(name, ": power map"));
        od;
        check(powers[c][1] = c and powers[c][orders[c]] = 1, Concatenation(name, ": power map ends"));
    od;

    det := List(reps, DeterminantMat);
    vec := List(reps, TraceMat);
    over_elements := f -> Collected(List(AsList(G), f));
    over_classes := values -> Collected(Concatenation(List([1 .. n], c -> ListWithIdenticalEntries(sizes[c], values[c]))));
    check(over_elements(TraceMat) = over_classes(vec), Concatenation(name, ": vector character against the traces"));
    check(over_elements(DeterminantMat) = over_classes(det),
          Concatenation(name, ": determinant character against the determinants"));
    check(det in irr, Concatenation(name, ": the determinant character is not irreducible"));
    multiplicities := List(irr, chi -> Sum([1 .. n], c -> sizes[c] * vec[c] * GaloisCyc(chi[c], -1)) / g.order);
    check(ForAll(multiplicities, x -> IsInt(x) and x >= 0), Concatenation(name, ": vector character"));
    check(Sum([1 .. n], i -> multiplicities[i] * irr[i]) = vec, Concatenation(name, ": vector decomposition"));

    lines := [Concatenation(table_variable(d, g), " = character_table(")];
    Add(lines, Concatenation("    ", joined(List(ClassNames(tbl), quoted))));
    Add(lines, Concatenation("  | ", joined(List(sizes, int_literal))));
    Add(lines, Concatenation("  | ", joined(List(orders, int_literal))));
    Add(lines, Concatenation("  | ", joined(List(irr[1], cyclotomic_literal))));
    for chi in irr{[2 .. n]} do
        Add(lines, Concatenation("    ", joined(List(chi, cyclotomic_literal))));
    od;
    Add(lines, Concatenation("  | ", joined(List(powers, p -> Concatenation("{", joined(List(p, int_literal)), "}")))));
    Add(lines, Concatenation("  | ", joined(List(det, cyclotomic_literal))));
    Add(lines, Concatenation("  | ", joined(List(vec, cyclotomic_literal)), ");"));
    return JoinStringsWithSeparator(lines, "\n");
end;

# ---- the configuration file

out := OutputTextFile(zarn_output, false);
SetPrintFormattingStatus(out, false);
emit := function(arg)
    CallFuncList(AppendTo, Concatenation([out], arg, ["\n"]));
end;

emit("/* The shipped configuration: the crystallographic point groups of dimensions 1, 2 and 3,\n",
     "   the basis transformations, the index symmetries of physical tensors and the character\n",
     "   table of every group. Written by data/generate/make_config; edit point_groups.g there,\n",
     "   not this file.\n\n",
     "   Groups act on coordinate columns in the conventional basis: hexagonal axes (a, b at\n",
     "   120 degrees) for the trigonal and hexagonal groups. A choice list holds pairs of\n",
     "   label and name; a name n with a list n_d at dimension d is a class of groups. */\n");

check(List(groups, s -> Number(s.list, g -> g.setting_of = false)) = [2, 10, 32], "number of point groups");
check(Sum(Filtered(groups[3].list, g -> g.setting_of = false), g -> g.order) = 332, "orders of dimension 3");
Perform(groups, check_groups);

for s in groups do
    emit("/* ---- point groups of dimension ", s.dim, " */\n");
    for g in s.list do
        emit(group_variable(s.dim, g), " = int_matrix_group(", joined(List(g.gens, int_matrix)), ");");
    od;
    emit("\ngroup_name_mapping_", s.dim, " = {");
    for g in s.list do
        for k in Concatenation([g.symbol], g.aliases) do
            emit("    ", quoted(k), " ", quoted(group_variable(s.dim, g)));
        od;
    od;
    emit("};\n");
    if s.systems = [] then
        emit("point_group_", s.dim, " = ",
             string_list(Concatenation(List(s.list, g -> [g.label, g.symbol]))), ";\n");
    else
        emit("point_group_", s.dim, " = ",
             string_list(Concatenation(List(s.systems, y -> [y, y]))), ";");
        for y in s.systems do
            emit(y, "_", s.dim, " = ", string_list(Concatenation(List(Filtered(s.list, g -> g.system = y),
                                                                       g -> [g.label, g.symbol]))), ";");
        od;
        emit("");
    fi;
od;

# ---- basis transformations

# The solver's components are covariant in the lattice basis, so a result on
# hexagonal axes goes to Cartesian axes by the inverse transpose of the matrix
# whose columns are a = (1, 0, 0), b = (-1/2, sqrt(3)/2, 0), c = (0, 0, 1).
hexagonal_axes := [[1, -1/2, 0], [0, Sqrt(3)/2, 0], [0, 0, 1]];
hexagonal_to_cartesian := TransposedMat(Inverse(hexagonal_axes));
# the axes of the metric that the hexagonal groups were checked to keep
check(TransposedMat(hexagonal_axes) * hexagonal_axes = metric(3, "hexagonal"), "hexagonal axes");

emit("/* ---- basis transformations */\n");
for d in [1 .. 3] do
    emit("T", d, "_identity = ", int_matrix(IdentityMat(d)), ";");
od;
emit("T2_hexagonal_to_cartesian = ", cyclotomic_matrix(hexagonal_to_cartesian{[1, 2]}{[1, 2]}), ";");
emit("T3_hexagonal_to_cartesian = ", cyclotomic_matrix(hexagonal_to_cartesian), ";\n");
for d in [1 .. 3] do
    names := [["identity", "identity"]];
    if d > 1 then
        Add(names, ["hexagonal to Cartesian", "hexagonal_to_cartesian"]);
    fi;
    emit("transformation_name_mapping_", d, " = ", string_list(Concatenation(List(names, t ->
        [t[1], Concatenation("T", String(d), "_", t[2])]))), ";");
    emit("basis_transformation_", d, " = ", string_list(Concatenation(List(names, t -> [t[1], t[1]]))), ";");
od;

# ---- index symmetries of physical tensors, by rank

# For example "(0 1)" permittivity and conductivity, "0 (1 2)" piezoelectric
# moduli, "(0 1) 2" electro-optic coefficients, "(0 1) (2 3)" photoelastic and
# "((0 1) (2 3))" elastic constants, "((0 1) (2 3) (4 5))" third-order elastic
# constants.
symmetries := [
    ["0"],
    ["0 1", "(0 1)", "[0 1]"],
    ["0 1 2", "0 (1 2)", "(0 1) 2", "0 [1 2]", "(0 1 2)", "[0 1 2]"],
    ["0 1 2 3", "(0 1) (2 3)", "((0 1) (2 3))", "(0 1) [2 3]", "0 (1 2 3)", "(0 1 2 3)"],
    ["0 1 2 3 4", "0 ((1 2) (3 4))", "(0 1) (2 3) 4", "((0 1) (2 3)) 4", "(0 1 2 3 4)"],
    ["0 1 2 3 4 5", "(0 1) (2 3) (4 5)", "((0 1) (2 3) (4 5))", "((0 1) (2 3)) (4 5)", "(0 1 2 3 4 5)"]];
emit("\n/* ---- index symmetries, by rank: (..) symmetric, [..] antisymmetric */\n");
for r in [1 .. Length(symmetries)] do
    check(ForAll(symmetries[r], t -> SortedList(List(SplitString(t, " ()[]", " ()[]"), Int)) = [0 .. r - 1]),
          Concatenation("an index symmetry of rank ", String(r)));
    emit("perm_symmetry_", r, " = ", string_list(symmetries[r]), ";");
od;

# ---- character tables

emit("\n/* ---- character tables: class names, class sizes, element orders, the irreducible\n",
     "   characters row by row, for each class the classes of its 1st to m-th powers (m its\n",
     "   element order), the determinant character and the vector character */\n");
for s in groups do
    for g in s.list do
        emit(table_literal(s.dim, g), "\n");
    od;
od;

emit("character_table_name_mapping = {");
for s in groups do
    for g in s.list do
        emit("    ", quoted(table_key(s.dim, g)), " ", quoted(table_variable(s.dim, g)));
    od;
od;
emit("};\n");

emit("character_table_list = ", string_list(Concatenation(List([3, 2, 1], d -> [
    Concatenation("point groups of dimension ", String(d)), Concatenation("character_tables_", String(d))]))), ";");
for s in groups do
    if s.systems = [] then
        emit("character_tables_", s.dim, " = ",
             string_list(Concatenation(List(s.list, g -> [g.label, table_key(s.dim, g)]))), ";");
    else
        emit("character_tables_", s.dim, " = ", string_list(Concatenation(List(s.systems, y ->
            [y, Concatenation("character_tables_", String(s.dim), "_", y)]))), ";");
        for y in s.systems do
            emit("character_tables_", s.dim, "_", y, " = ", string_list(Concatenation(List(
                Filtered(s.list, g -> g.system = y), g -> [g.label, table_key(s.dim, g)]))), ";");
        od;
    fi;
od;

CloseStream(out);
QuitGap(0);
