CREATE TABLE Staff (
  Id int NOT NULL PRIMARY KEY,
  Code nvarchar(20) NULL,
  Name nvarchar(40) NULL,
  Dept nvarchar(40) NULL,
  HireDate datetime NULL,
  ClockIn datetime NULL,
  Salary decimal(12,2) NULL,
  Hours float NULL,
  Active bit NULL,
  Note nvarchar(200) NULL
)
