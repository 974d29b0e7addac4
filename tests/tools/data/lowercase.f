      integer function BAD(NVARS,ICOL,IROW)
      PARAMETER (IPARAM_NVARS=2)
      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN
      DATA IVARIABLES/
     1  4HA   ,  4H    ,  4H    ,  4H    ,  9,  -99,  0,  7,
     1  4HB   ,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1/

      DATA IVRSN/1700000000/
      NVARS = IPARAM_NVARS
      IF(IROW .EQ. 0) THEN
          BAD=IVRSN
      ELSE IF(IROW .LE. NVARS) THEN
          BAD=IVARIABLES(ICOL,IROW)
      ENDIF
      RETURN
      END
