c  written by hand
* the feed stream
!  and its IO
      INTEGER FUNCTION MARKED(NVARS,ICOL,IROW)
      PARAMETER (IPARAM_NVARS=1)
      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN
      DATA IVARIABLES/
	1  4HA   ,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1/
      DATA IVRSN/1700000000/
      END
