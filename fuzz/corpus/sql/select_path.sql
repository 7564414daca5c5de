SELECT * From "C:\Mirvane\BaseSong.db"
WHERE FPath="C:\Music\1.mp3"