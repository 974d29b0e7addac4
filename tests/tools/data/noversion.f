      INTEGER FUNCTION NOVER(NVARS,ICOL,IROW)
      PARAMETER (IPARAM_NVARS=1)
      DATA IVARIABLES/
     1  4HA   ,  4H    ,  4H    ,  4H    ,  0,  -1,  0,  1/
      END
