-- c
SELECT a /* b */ FROM t -- d
WHERE x AND NOT (y OR z)