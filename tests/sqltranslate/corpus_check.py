#!/usr/bin/python3
"""Translates every query of a corpus with acc2tsql and has the result judged from outside.

Usage: corpus_check.py ACC2TSQL CORPUS_FOLDER

Each translation must
  - parse as T-SQL (sqlglot, read="tsql"). This sqlglot does not read T-SQL's UPDATE t SET
    ... FROM ... and DELETE t FROM ...: for those it reads the SELECT of the same values
    FROM the same tables (and checks that t is one of them);
  - hold no Access-only construct in its code (outside literals, names and comments):
    double-quoted text, &, #dates#, \\, True/False, DISTINCTROW, Access functions that
    T-SQL lacks, one-argument IsNull, Mod, Xor, Forms references and t!c, ^, PARAMETERS,
    TRANSFORM and Access's PIVOT, OWNERACCESS, {guid}, UPDATE a JOIN b ... SET, DELETE t.*,
    Access wildcards in LIKE patterns. That sqlglot accepts some of these, so they are
    looked for here;
  - use a predicate wherever T-SQL needs one (WHERE, HAVING, ON, IIF and CASE WHEN
    conditions, AND, OR, NOT) and never compare one as a value ((a OR b)=1): a bare
    Yes/No column there is Access-only;
  - as a view body, keep no ORDER BY without TOP;
  - keep every string literal and every bracketed name of the query, or show where it
    went: a bracketed name that became a T-SQL parameter (acc2tsql lists each on standard
    error), a literal that became code (domain functions), a LIKE or Format pattern in
    T-SQL's form, a crosstab's IN value that became a column name;
  - come with exactly the warnings its query expects: a query NAME.sql with a file
    NAME.warnings lists there, one a line, the warnings it must carry (acc2tsql ends with
    status 3) and may carry no other; any other query must carry none (status 0). The
    constructs a warning names are left out of the Access-only check.
Exits 0 when every query passes, 1 otherwise, 77 (skipped) when sqlglot is missing.
"""
import os
import re
import subprocess
import sys

try:
    import sqlglot
    from sqlglot import exp
except ImportError:
    print("SKIPPED: python3-sqlglot is not installed")
    sys.exit(77)

# The literals of a date function's interval argument become keywords, and InStr's search
# text becomes a pattern; their content may therefore be missing from the output.
INTERVALOS = {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"}

PROHIBIDOS = [
    (r"\bDISTINCTROW\b", "DISTINCTROW"),
    (r"\b(True|False)\b", "True/False"),
    (r"(?<![\w.])(Mid|Switch|CInt|CLng|CSng|CStr|CBool|CDate|Int|Sgn|Trim|Weekday|InStr|"
     r"Val|DatePart|DateDiff|DateAdd|Nz|Now|Time|DateValue|TimeValue|LCase|UCase|Chr|ChrW|"
     r"Asc|AscW|Hour|Minute|Second|Fix|CDbl|CCur|CByte|CDec|CVar|DateSerial|StrConv|Sqr|Atn|"
     r"StrReverse|DLookup|DCount|DSum|DAvg|DMin|DMax|DFirst|DLast|Eval|First|Last)"
     r"\$?\s*\(", "Access function"),
    (r"(?<![\w.])Date\s*\(\s*\)", "Date()"),
    (r"\bMod\b", "Mod"),
    (r"\bXor\b", "Xor"),
    (r"!(?![=<>])", "! (Forms reference or t!c)"),
    (r"\b(Forms|Reports)\b|\bForm_\w", "Forms reference"),
    (r"\^", "^"),
    (r"\w\$\s*\(", "VBA $ function"),
    (r"\b(PARAMETERS|TRANSFORM|OWNERACCESS)\b", "Access clause"),
    (r"\bPIVOT\b(?!\s*\()", "Access PIVOT"),
    (r"\{\s*guid\b", "{guid}"),
    (r"\bUPDATE\b(?:(?!\bSET\b)[^;])*\bJOIN\b", "UPDATE ... JOIN ... SET"),
    (r"\bDELETE\s+(\w*\s*\.\s*)?\*", "DELETE t.*"),
]
# T-SQL has these under the same names: the checks above skip them.
PERMITIDOS = re.compile(r"(?<![\w.])(datepart|datediff|dateadd)\s*\(\s*[a-z]+\s*,", re.I)


def trocea(sql, access):
    """Splits a query into ("code", text), ("str", content), ("name", name) pieces.
    access: double quotes open literals and comments do not exist (but pass-through texts
    have them, so -- and /* are read as comments in both)."""
    piezas, i, n, codigo = [], 0, len(sql), []
    while i < n:
        c = sql[i]
        if c == "'" or (access and c == '"'):
            j, contenido = i + 1, []
            while j < n:
                if sql[j] == c:
                    if j + 1 < n and sql[j + 1] == c:
                        contenido.append(c)
                        j += 2
                        continue
                    break
                contenido.append(sql[j])
                j += 1
            piezas.append(("code", "".join(codigo)))
            codigo = []
            piezas.append(("str", "".join(contenido)))
            i = j + 1
        elif c == "[":
            j = sql.find("]", i + 1)
            if j < 0:
                codigo.append(c)
                i += 1
                continue
            piezas.append(("code", "".join(codigo)))
            codigo = [" "]
            piezas.append(("name", sql[i + 1:j]))
            i = j + 1
        elif sql.startswith("--", i):
            j = sql.find("\n", i)
            i = n if j < 0 else j
        elif sql.startswith("/*", i):
            j = sql.find("*/", i + 2)
            i = n if j < 0 else j + 2
            codigo.append(" ")
        else:
            codigo.append(c)
            i += 1
    piezas.append(("code", "".join(codigo)))
    return piezas


def es_predicado(nodo):
    if isinstance(nodo, exp.Paren):
        return es_predicado(nodo.this)
    if isinstance(nodo, (exp.And, exp.Or)):
        return es_predicado(nodo.this) and es_predicado(nodo.expression)
    if isinstance(nodo, exp.Not):
        return es_predicado(nodo.this)
    return isinstance(nodo, (exp.EQ, exp.NEQ, exp.GT, exp.GTE, exp.LT, exp.LTE, exp.Is,
                             exp.In, exp.Between, exp.Like, exp.Exists))


COMPARACIONES = (exp.EQ, exp.NEQ, exp.GT, exp.GTE, exp.LT, exp.LTE)


def condiciones(arbol):
    """Every expression T-SQL reads as a condition."""
    for w in arbol.find_all(exp.Where, exp.Having):
        yield w.this
    for b in arbol.find_all(exp.And, exp.Or):
        yield b.this
        yield b.expression
    for j in arbol.find_all(exp.Join):
        if j.args.get("on") is not None:
            yield j.args["on"]
    for f in arbol.find_all(exp.If):
        yield f.this
    for n in arbol.find_all(exp.Not):
        yield n.this


def orden_de_vista(arbol):
    """The ORDER BY a view of this statement would keep without a TOP, if any."""
    s = arbol
    while isinstance(s, exp.Union):
        s = s.expression
    if isinstance(s, exp.Select) and s.args.get("order") and not s.args.get("limit"):
        return s.args["order"]
    return None


def partes(texto):
    """texto split at the commas outside parentheses and quotes."""
    trozos, nivel, actual, comilla = [], 0, [], None
    for c in texto:
        if comilla:
            comilla = None if c == comilla else comilla
        elif c in "'[":
            comilla = "'" if c == "'" else "]"
        elif c == "(":
            nivel += 1
        elif c == ")":
            nivel -= 1
        elif c == "," and nivel == 0:
            trozos.append("".join(actual))
            actual = []
            continue
        actual.append(c)
    trozos.append("".join(actual))
    return trozos


def para_sqlglot(sql):
    """The text sqlglot reads in place of T-SQL forms it does not know (see the docstring).
    Returns the text and a list of failures found on the way."""
    sql = re.sub(r"(\bTOP\s+\(?\s*\d+\s*\)?\s+)PERCENT\b", r"\1", sql, flags=re.I)
    m = re.match(r"\s*UPDATE\s+(\S+)\s+SET\s+(.*?)\s+FROM\s+(.*)$", sql, re.I | re.S)
    if m and re.search(r"\bJOIN\b|,", m.group(3)):
        valores = [a.split("=", 1)[1] if "=" in a else a for a in partes(m.group(2))]
        destino, tablas = m.group(1), m.group(3)
        sql = "SELECT %s FROM %s" % (", ".join(valores), tablas)
        return sql, [] if destino.lower() in tablas.lower() else ["UPDATE of a table not in FROM"]
    m = re.match(r"\s*DELETE\s+(\S+)\s+FROM\s+(.*)$", sql, re.I | re.S)
    if m:
        destino, tablas = m.group(1), m.group(2)
        return "SELECT * FROM " + tablas, [] if destino.lower() in tablas.lower() else \
            ["DELETE from a table not in FROM"]
    return sql, []


def patron_tsql(p):
    """An Access LIKE pattern in T-SQL's form, as acc2tsql writes it."""
    out, i = [], 0
    while i < len(p):
        c = p[i]
        if c == "[":
            f = p.find("]", i + 1)
            if f < 0:
                out.append("[[]")
            else:
                clase = p[i + 1:f]
                out.append("[" + ("^" + clase[1:] if clase.startswith("!") else clase) + "]")
                i = f
        else:
            out.append({"*": "%", "?": "_", "#": "[0-9]", "%": "[%]", "_": "[_]"}.get(c, c))
        i += 1
    return "".join(out)


def comodines_access(piezas):
    """The string literals after LIKE (alone, joined with + or inside CONCAT(...)) that
    still hold * or ? outside a [...] class."""
    en_concat = 0  # parentheses open in a CONCAT( that follows LIKE
    for k in range(len(piezas)):
        tipo, texto = piezas[k]
        if tipo == "code":
            resto = texto
            while resto:
                if en_concat:
                    for i, c in enumerate(resto):
                        en_concat += {"(": 1, ")": -1}.get(c, 0)
                        if not en_concat:
                            break
                    resto = resto[i + 1:] if not en_concat else ""
                    continue
                m = re.search(r"\bLIKE\s*CONCAT\s*\(", resto, re.I)
                if not m:
                    break
                en_concat, resto = 1, resto[m.end():]
            continue
        if tipo != "str":
            continue
        antes = piezas[k - 1][1] if k > 0 and piezas[k - 1][0] == "code" else ""
        if not en_concat:
            if not re.search(r"\bLIKE\s*\(?\s*$|\+\s*$", antes, re.I):
                continue
            if re.search(r"\+\s*$", antes) and not re.search(r"\bLIKE\b", antes, re.I):
                continue
        if re.search(r"[*?]", re.sub(r"\[[^\]]*\]", "", texto)):
            yield texto


def juzga(entrada, salida, avisados=(), parametros=()):
    """Failures of one translation. avisados: the texts of the constructs acc2tsql warned
    about; parametros: (name, what it stands for) of each parameter it listed."""
    fallos = []
    # This sqlglot reads TOP n but not TOP n PERCENT, which T-SQL has: the parser is given
    # the query without the word PERCENT (and UPDATE/DELETE ... FROM as a SELECT).
    legible, fallos_forma = para_sqlglot(salida)
    fallos += fallos_forma
    try:
        arboles = [a for a in sqlglot.parse(legible, read="tsql") if a is not None]
    except Exception as e:  # sqlglot raises ParseError and TokenError
        return ["does not parse as T-SQL: %s" % str(e).splitlines()[0]]
    if not arboles:
        fallos.append("no statement")
    for arbol in arboles:
        for cond in condiciones(arbol):
            if cond is not None and not es_predicado(cond):
                fallos.append("not a predicate: %s" % cond.sql(dialect="tsql"))
        for comp in arbol.find_all(*COMPARACIONES):
            if es_predicado(comp.this) or es_predicado(comp.expression):
                fallos.append("a condition compared as a value: %s" % comp.sql(dialect="tsql"))
        if orden_de_vista(arbol) is not None:
            fallos.append("ORDER BY without TOP in a view body")
    # The constructs acc2tsql warned about are left as they were: not judged here.
    sin_avisados = salida
    for a in avisados:
        sin_avisados = sin_avisados.replace(a, " ")
    piezas_out = trocea(sin_avisados, access=False)
    codigo = " ".join(t for k, t in piezas_out if k == "code")
    for a in avisados:
        llamada = re.match(r"(\w+)\s*\(", a)
        if llamada:
            codigo = re.sub(r"(?<![\w.])%s\s*\(" % llamada.group(1), " (", codigo, flags=re.I)
    for texto in comodines_access(piezas_out):
        fallos.append("Access wildcard left in a LIKE pattern: %r" % texto)
    for ch, que in (('"', "double-quoted text"), ("&", "&"), ("#", "#date#"), ("\\", "\\")):
        if ch in codigo:
            fallos.append("%s left in code" % que)
    codigo_sin_tsql = PERMITIDOS.sub(" ", codigo)
    for patron, que in PROHIBIDOS:
        m = re.search(patron, codigo_sin_tsql, re.I)
        if m:
            fallos.append("%s left in code: %s" % (que, m.group(0)))
    for m in re.finditer(r"(?<![\w.])IsNull\s*\(", codigo, re.I):
        nivel, comas, k = 1, 0, m.end()
        while k < len(codigo) and nivel:
            nivel += {"(": 1, ")": -1}.get(codigo[k], 0)
            comas += codigo[k] == "," and nivel == 1
            k += 1
        if comas != 1:
            fallos.append("IsNull with one argument left in code")
    piezas_todas = trocea(salida, access=False)
    textos = {t for k, t in piezas_todas if k == "str"}
    textos_sin_caso = {t.lower() for t in textos}
    nombres = {t.lower() for k, t in piezas_todas if k == "name"}
    codigo_todo = " ".join(t for k, t in piezas_todas if k == "code")
    palabras = {w.lower() for w in re.findall(r"\w+", codigo_todo)}
    # Names that became parameters, and the parameters in the code.
    en_parametros = set()
    for nombre, origen in parametros:
        en_parametros |= {n.lower() for k, n in trocea(origen, access=True) if k == "name"}
        if nombre[1:].lower() not in palabras:
            fallos.append("parameter %s listed but not used" % nombre)
    # Format patterns become CONVERT styles or .NET patterns.
    formatos = set(re.findall(r"Format\$?\s*\([^,()]*(?:\([^()]*\))?[^,()]*,\s*\"([^\"]*)\"",
                              entrada, re.I))
    # The literal arguments of domain functions become the code of their subqueries.
    de_dominio = set()
    for m in re.finditer(r"\bD(Lookup|Count|Sum|Avg|Min|Max|First|Last)\s*\(", entrada, re.I):
        nivel, k, comilla = 1, m.end(), None
        while k < len(entrada) and nivel:
            c = entrada[k]
            if comilla:
                comilla = None if c == comilla else comilla
            elif c in "'\"":
                comilla = c
            else:
                nivel += {"(": 1, ")": -1}.get(c, 0)
            k += 1
        de_dominio |= {t for tipo, t in trocea(entrada[m.end():k], access=True) if tipo == "str"}
    for k, t in trocea(entrada, access=True):
        if k == "str" and t not in textos and t not in INTERVALOS and t not in de_dominio and \
                not any("%" + t + "%" == x for x in textos) and \
                patron_tsql(t) not in textos and t not in formatos and \
                t.lower() not in textos_sin_caso and t.lower() not in nombres and \
                t not in codigo_todo.replace("  ", " ") and \
                not any(t in a for a in avisados):
            fallos.append("string literal lost: %r" % t)
        if k == "name" and t.lower() not in nombres and t.lower() not in palabras and \
                t.lower() not in en_parametros:
            fallos.append("bracketed name lost: [%s]" % t)
    return fallos


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    herramienta, carpeta = sys.argv[1], sys.argv[2]
    archivos = sorted(f for f in os.listdir(carpeta) if f.endswith(".sql"))
    malos = 0
    for nombre in archivos:
        ruta = os.path.join(carpeta, nombre)
        with open(ruta, "rb") as f:
            entrada = f.read().decode("utf-8-sig")
        r = subprocess.run([herramienta, ruta], capture_output=True, timeout=60)
        salida = r.stdout.decode("utf-8")
        if salida.endswith("\n"):
            salida = salida[:-1]
        errores = r.stderr.decode("utf-8")
        avisos = re.findall(r"^acc2tsql: .*?: warning: (.*) at \"(.*)\"$", errores, re.M)
        parametros = re.findall(r"^acc2tsql: .*?: parameter (@\S+) (?:\S+ )?stands for (.*)$",
                                errores, re.M)
        esperados = []
        ruta_avisos = ruta[:-4] + ".warnings"
        if os.path.exists(ruta_avisos):
            with open(ruta_avisos, encoding="utf-8") as f:
                esperados = [l.strip() for l in f if l.strip()]
        if r.returncode != (3 if esperados else 0):
            fallos = ["acc2tsql exit status %d: %s" % (r.returncode, errores)]
        else:
            fallos = juzga(entrada, salida, [t for _, t in avisos], parametros)
            for e in esperados:
                if not any(e in que for que, _ in avisos):
                    fallos.append("expected warning missing: %s" % e)
            for que, texto in avisos:
                if not any(e in que for e in esperados):
                    fallos.append("unexpected warning: %s at %r" % (que, texto))
        if fallos:
            malos += 1
            print("FAIL %s\n  output: %s" % (nombre, salida))
            for f in fallos:
                print("  - " + f)
        else:
            print("ok   %s" % nombre)
    print("%d of %d queries translated into sound T-SQL" % (len(archivos) - malos, len(archivos)))
    return 1 if malos else 0


if __name__ == "__main__":
    sys.exit(main())
