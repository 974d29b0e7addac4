

      INTEGER FUNCTION MIXER(NVARS,ICOL,IROW)
      PARAMETER (IPARAM_NVARS=7)
      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN
      DATA IVARIABLES/
     1  4HFEED,  4HZ   ,  4H    ,  4H    ,  1,  -2,  0,  1,
     1  4HTEMP,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1,
     1  4HPRES,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1,
     1  4HPROD,  4HZ   ,  4H    ,  4H    ,  1,  -2,  0,  2,
     1  4HDUTY,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  2,
     1  4HNITE,  4HR   ,  4H    ,  4H    ,  0,  -1,  0,  3,
     1  4HTAG ,  4H    ,  4H    ,  4H    ,  2,  -1,  0,  1/

      DATA IVRSN/1796861260/
      NVARS = IPARAM_NVARS
      IF(IROW .EQ. 0) THEN
          MIXER=IVRSN
      ELSE IF(IROW .LE. NVARS) THEN
          MIXER=IVARIABLES(ICOL,IROW)
      ENDIF
      RETURN
      END
