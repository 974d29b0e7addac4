      INTEGER FUNCTION MIXER(NVARS,ICOL,IROW)                           MIX00000
      PARAMETER (IPARAM_NVARS=7)                                        MIX00010
      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN                         MIX00020
      DATA IVARIABLES/                                                  MIX00030
     1  4HFEED,  4HZ   ,  4H    ,  4H    ,  1,  -2,  0,  1,             MIX00040
     1  4HTEMP,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1,             MIX00050
     1  4HPRES,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1,             MIX00060
     1  4HPROD,  4HZ   ,  4H    ,  4H    ,  1,  -2,  0,  2,             MIX00070
     1  4HDUTY,  4H    ,  4H    ,  4H    ,  1,  -1,  0,  2,             MIX00080
     1  4HNITE,  4HR   ,  4H    ,  4H    ,  0,  -1,  0,  3,             MIX00090
     1  4HTAG ,  4H    ,  4H    ,  4H    ,  2,  -1,  0,  1/             MIX00100

      DATA IVRSN/1796861260/                                            MIX00120
      NVARS = IPARAM_NVARS                                              MIX00130
      IF(IROW .EQ. 0) THEN                                              MIX00140
          MIXER=IVRSN                                                   MIX00150
      ELSE IF(IROW .LE. NVARS) THEN                                     MIX00160
          MIXER=IVARIABLES(ICOL,IROW)                                   MIX00170
      ENDIF                                                             MIX00180
      RETURN                                                            MIX00190
      END                                                               MIX00200
