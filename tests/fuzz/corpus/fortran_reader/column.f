      INTEGER FUNCTION COLUMN(NVARS,ICOL,IROW)
      PARAMETER (IPARAM_NVARS=6)
      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN
      DATA IVARIABLES/
     1  4HNSTA,  4HGE  ,  4H    ,  4H    ,  0,  -1,  0,  1,
     1  4HTSTA,  4HGE  ,  4H    ,  4H    ,  1,  0,  0,  2,
     1  4HFEED,  4HST  ,  4H    ,  4H    ,  0,  -1,  0,  1,
     1  4HSTAG,  4HE   ,  4H    ,  4H    ,  3,  0,  0,  1,
     1  4HEFF ,  4H    ,  4H    ,  4H    ,  1,  -1,  1,  1,
     1  4HLABE,  4HL   ,  4H    ,  4H    ,  2,  -1,  1,  1/

      DATA IVRSN/1796861260/
      NVARS = IPARAM_NVARS
      IF(IROW .EQ. 0) THEN
          COLUMN=IVRSN
      ELSE IF(IROW .LE. NVARS) THEN
          COLUMN=IVARIABLES(ICOL,IROW)
      ENDIF
      RETURN
      END
