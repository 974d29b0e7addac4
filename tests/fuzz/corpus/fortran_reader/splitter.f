      INTEGER FUNCTION SPLITTER(NVARS,ICOL,IROW)
      PARAMETER (IPARAM_NVARS=7)
      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN
      DATA IVARIABLES/
     1  4HFEED,  4H    ,  4H    ,  4H    ,  3,  -13,  0,  1,
     1  4HFLOW,  4H    ,  4H    ,  4H    ,  1,  -1,  1,  1,
     1  4HT   ,  4H    ,  4H    ,  4H    ,  1,  -1,  1,  1,
     1  4HX   ,  4H    ,  4H    ,  4H    ,  1,  -2,  1,  1,
     1  4HID  ,  4H    ,  4H    ,  4H    ,  2,  -1,  1,  1,
     1  4HSPLI,  4HT   ,  4H    ,  4H    ,  1,  -23,  0,  1,
     1  4HLOSS,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  2/

      DATA IVRSN/1796861260/
      NVARS = IPARAM_NVARS
      IF(IROW .EQ. 0) THEN
          SPLITTER=IVRSN
      ELSE IF(IROW .LE. NVARS) THEN
          SPLITTER=IVARIABLES(ICOL,IROW)
      ENDIF
      RETURN
      END
