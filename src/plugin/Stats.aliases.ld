/* Decorated exports of the Linux build: the Itanium C++ name of each typed
   signature, bound to the plain entry point. The version script exports them. */
_Z11ResetStats0PKciS0_PK13DateTimeValueS3_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_ = ResetStats0;
_Z8AddData0PKcS0_PK13DateTimeValueS3_S3_S3_jjS0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_S0_S0_ = AddData0;
_Z11RemoveData0PKcS0_PK13DateTimeValueS3_S3_S3_jjS0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_S0_S0_ = RemoveData0;
_Z14CheckCallFunc0PKcjjS0_S0_S0_S0_S0_S0_S0_S0_S0_S0_S0_iiiddS0_S0_S0_S0_S0_S0_S0_PcS1_ = CheckCall0;
_Z10GetResult0Pi = GetResult0;
_Z15GetNumberOfSetsv = GetNumberOfSets;
_Z10GetSetNamei = GetSetName;
_Z9SetupSet0v = SetupSet0;
_Z18StatsIsValidExchg0PKcS0_S0_S0_iii = IsValidExchg0;
_Z19StatsGetExchgCount0PKcS0_S0_ = GetNumberOfSets;
GetExchgCount0 = GetNumberOfSets;
