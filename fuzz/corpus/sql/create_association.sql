Create TABLE "C:\Mirvane\Association.db" (
FArtist Char(64),
FName Char(64),
FPath Char(160) );