UPDATE DISTINCTROW (a INNER JOIN b ON a.x = b.x) INNER JOIN c ON b.y = c.y SET c.z = a.z WHERE a.w;
DELETE a.* FROM a INNER JOIN b ON a.x = b.x WHERE {guid {1-2}} = b.g WITH OWNERACCESS OPTION
