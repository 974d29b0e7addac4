      INTEGER FUNCTION NAMES(NVARS,ICOL,IROW)
      PARAMETER (IPARAM_NVARS=3)
      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN
      DATA IVARIABLES/
     1  4HLONG,  4HNAME,  4HOFTW,  4HENTY,  4HCHAR,  1,  -1,  0,  1,
     1  4HA   ,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1,
     1  4HA   ,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1/
      DATA IVRSN/1700000000/
      END
