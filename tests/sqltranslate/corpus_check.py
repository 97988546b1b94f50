#!/usr/bin/python3
"""Translates every query of a corpus with acc2tsql and has the result judged from outside.

Usage: corpus_check.py ACC2TSQL CORPUS_FOLDER

Each translation must
  - parse as T-SQL (sqlglot, read="tsql");
  - hold no Access-only construct in its code (outside literals, names and comments):
    double-quoted text, &, #dates#, \\, True/False, DISTINCTROW, Access functions that
    T-SQL lacks, one-argument IsNull, Mod, Xor. That sqlglot accepts some of these, so
    they are looked for here;
  - use a predicate wherever T-SQL needs one (WHERE, HAVING, ON, IIF and CASE WHEN
    conditions, AND, OR, NOT) and never compare one as a value ((a OR b)=1): a bare
    Yes/No column there is Access-only;
  - as a view body, keep no ORDER BY without TOP;
  - keep every string literal and every bracketed name of the query.
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
     r"Val|DatePart|DateDiff|DateAdd)\s*\(", "Access function"),
    (r"(?<![\w.])Date\s*\(\s*\)", "Date()"),
    (r"\bMod\b", "Mod"),
    (r"\bXor\b", "Xor"),
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


def juzga(entrada, salida):
    fallos = []
    # This sqlglot reads TOP n but not TOP n PERCENT, which T-SQL has: the parser is given
    # the query without the word PERCENT.
    para_sqlglot = re.sub(r"(\bTOP\s+\(?\s*\d+\s*\)?\s+)PERCENT\b", r"\1", salida, flags=re.I)
    try:
        arboles = [a for a in sqlglot.parse(para_sqlglot, read="tsql") if a is not None]
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
    piezas_out = trocea(salida, access=False)
    codigo = " ".join(t for k, t in piezas_out if k == "code")
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
    textos = {t for k, t in piezas_out if k == "str"}
    nombres = {t.lower() for k, t in piezas_out if k == "name"}
    palabras = {w.lower() for w in re.findall(r"\w+", codigo)}
    for k, t in trocea(entrada, access=True):
        if k == "str" and t not in textos and t not in INTERVALOS and \
                not any("%" + t + "%" == x for x in textos):
            fallos.append("string literal lost: %r" % t)
        if k == "name" and t.lower() not in nombres and t.lower() not in palabras:
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
        fallos = ["acc2tsql exit status %d: %s" % (r.returncode, r.stderr.decode())] \
            if r.returncode != 0 else juzga(entrada, salida)
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
