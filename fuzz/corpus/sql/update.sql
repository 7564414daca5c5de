UPDATE "S.DB" SET FName="Name ""1""", FNumber=-500
WHERE FArtist="artist"