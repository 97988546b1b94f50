TRANSFORM Sum(x) AS s SELECT a, Sum(x) AS t FROM u IN "o.mdb" WHERE v GROUP BY a ORDER BY a PIVOT Format(d, "mmm") IN ("Ene", "Feb")
