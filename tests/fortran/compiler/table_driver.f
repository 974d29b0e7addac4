C     Calls a generated table function UVTTAB for IROW 0 and for every
C     row and column, and prints what it answers: the Hollerith words of
C     a name as their four characters, the codes as numbers.
      PROGRAM DRIVER
      INTEGER UVTTAB, NVARS, NDUMMY, IVRSN, IROW, ICOL, I, IV(8)
      CHARACTER*4 WORDS(4)
      IVRSN = UVTTAB(NVARS, 1, 0)
      WRITE (*, '(A,I0)') 'NVARS ', NVARS
      WRITE (*, '(A,I0)') 'IVRSN ', IVRSN
      DO 30 IROW = 1, NVARS
         DO 10 ICOL = 1, 8
            IV(ICOL) = UVTTAB(NDUMMY, ICOL, IROW)
   10    CONTINUE
         DO 20 I = 1, 4
            WORDS(I) = TRANSFER(IV(I), WORDS(I))
   20    CONTINUE
         WRITE (*, '(A,I0,A,4A4,A,4(1X,I0))') 'ROW ', IROW, ' |',
     1      (WORDS(I), I = 1, 4), '|', (IV(I), I = 5, 8)
   30 CONTINUE
      END
