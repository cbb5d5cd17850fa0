-- The database of Quillmarsh.2012版: every table, view and pre-existing row.
-- Column order matters: uploads export tables with "select *" in this order.
-- Affinity: months and codes INTEGER, amounts NUMERIC, flags and texts TEXT, so that
-- Smon<=12, Ssex=2, sPost like '3%' and Flag='1' behave as the program expects.
-- The database is written at the current schema version (PRAGMA user_version), the number of
-- upgrade steps in SchemaVersion.cpp: a change here comes with a step that makes it in an
-- older database.

create table Staff_moninfo (
  id integer primary key autoincrement,
  sMon integer,
  sName text, sNumber text,
  sTsex text, sSex integer,
  sTnation text, sNation integer,
  sTparty text, sParty integer,
  sBirth text,
  sWorks numeric, sWork numeric,
  sTEdu text, sEducation integer,
  sGw text,
  sTPost text, sPost integer,
  sTGrade text, sPostGrade integer,
  sTJGrade text, sJGrade integer,
  sTsf text, ssf integer,
  sTqrz text, sqrz integer,
  sTgc text, sgc integer,
  sTjzs text, sjzs integer,
  sTsg text, ssg integer,
  sTyg text, syg integer,
  sIsok text
);
create index Staff_moninfo_mon_number on Staff_moninfo (sMon, sNumber);
-- The rows saved with errors, which every gate looks for; the condition as the queries spell it.
create index Staff_moninfo_errors on Staff_moninfo (sMon) where sIsok='0';

create table Wage_Info (
  id integer primary key autoincrement,
  sNumber text, sName text,
  Smon integer,
  sN1 numeric, sN2 numeric, sN3 numeric, sN4 numeric, sN5 numeric,
  sTotal numeric,
  sFlag text, wFlag text
);
create index Wage_Info_mon_number on Wage_Info (Smon, sNumber);
create index Wage_Info_errors on Wage_Info (Smon) where (wFlag='0' or sFlag='0');

create table Dep_Info (
  DepName text, DepNo text, DepType text, DepInfo text, Flag text, CreateMon text
);

create table Code_Sex (ID integer, CodeName text, Memo text);
create table Code_Nation (ID integer, CodeName text, Memo text);
create table Code_Edu (ID integer, CodeName text, Memo text);
create table Code_Post (ID integer, CodeName text, Memo text);
create table Code_Grade (ID integer, CodeName text, Memo text);
create table Code_Role (ID integer, CodeName text, Memo text);
create table Code_YesNo (ID integer, CodeName text, Memo text);
create table Code_Certy (ID integer, CodeName text, Memo text);

create table Initial_Info (DepNo text, sInitial text);

-- Only counted; kept empty.
create table Staff_Info (
  id integer primary key autoincrement,
  sName text, sNumber text, sTsex text, sSex integer, sTnation text, sNation integer,
  sTparty text, sParty integer, sBirth text, sWorks numeric, sWork numeric,
  sTEdu text, sEducation integer, sGw text, sTPost text, sPost integer,
  sTGrade text, sPostGrade integer, sTJGrade text, sJGrade integer, sTsf text, ssf integer,
  sTqrz text, sqrz integer, sTgc text, sgc integer, sTjzs text, sjzs integer,
  sTsg text, ssg integer, sTyg text, syg integer, sIsok text
);

create table Tmp_Del (sName text, sNumber text, sMon integer, sMemo text);

create table Total_Info (
  Gid integer, Dep_id text, Tdate text, frmc text,
  G11 numeric, G12 numeric, G13 numeric, G14 numeric, G15 numeric, G16 numeric, G17 numeric, G18 numeric, G19 numeric,
  G20 numeric, G21 numeric
);

create table Total_baseInfo (
  Gid integer, Dep_id text, Tdate text, frmc text,
  G11 numeric, G12 numeric, G13 numeric, G14 numeric, G15 numeric, G16 numeric, G17 numeric, G18 numeric, G19 numeric,
  G110 numeric, G111 numeric, G112 numeric, G113 numeric, G114 numeric, G115 numeric, G116 numeric
);

create table JGLabor_info (
  frdm text,
  I01 numeric, I71 numeric, I05 numeric, I06 numeric, I07 numeric, I08 numeric, I09 numeric, I10 numeric, I11 numeric, I12 numeric, I13 numeric, I18 numeric, I19 numeric, I20 numeric, I21 numeric, I22 numeric, I23 numeric, I51 numeric, I48 numeric, I41 numeric, I42 numeric, I47 numeric,
  frmc text
);
create table NGLabor_info (
  frdm text,
  I01 numeric, I02 numeric, I03 numeric, I05 numeric, I06 numeric, I07 numeric, A01 numeric, A02 numeric, A03 numeric, A04 numeric, I71 numeric, I72 numeric, A05 numeric, A06 numeric, A07 numeric, A08 numeric, I73 numeric, A09 numeric, I74 numeric, A10 numeric, I75 numeric, A11 numeric, A12 numeric, A13 numeric, A14 numeric, A15 numeric, A16 numeric, A17 numeric, A18 numeric, I08 numeric, I09 numeric, I10 numeric, I11 numeric, I76 numeric, I77 numeric, I78 numeric, I79 numeric, A19 numeric, I80 numeric, I12 numeric, I13 numeric, I14 numeric, I15 numeric, I16 numeric, I17 numeric, I18 numeric, I19 numeric, I81 numeric, I82 numeric, I83 numeric, I84 numeric, A20 numeric, I85 numeric, I20 numeric, I21 numeric, I22 numeric, I23 numeric, I86 numeric, I87 numeric, I88 numeric, I89 numeric, A21 numeric, I90 numeric, I51 numeric, I48 numeric, I41 numeric, I42 numeric, I43 numeric, I44 numeric, I46 numeric, I47 numeric,
  frmc text
);
create table JLabor_info (
  frdm text,
  I01 numeric, I04 numeric, I05 numeric, I06 numeric, I07 numeric, I08 numeric, I09 numeric, I10 numeric, I11 numeric, I12 numeric, I13 numeric, I18 numeric, I19 numeric, I20 numeric, I21 numeric, I22 numeric, I23 numeric, B1 numeric, B2 numeric, B5 numeric, B7 numeric,
  frmc text
);
create table NLabor_info (
  frdm text,
  I01 numeric, I02 numeric, I03 numeric, I04 numeric, I05 numeric, I06 numeric, I07 numeric, I08 numeric, I09 numeric, I10 numeric, I11 numeric, I12 numeric, I13 numeric, I14 numeric, I15 numeric, I16 numeric, I17 numeric, I18 numeric, I19 numeric, I20 numeric, I21 numeric, I22 numeric, I23 numeric, I24 numeric, A1 numeric, A2 numeric, A3 numeric, A4 numeric, A5 numeric, A6 numeric, A7 numeric, A8 numeric, A9 numeric, A10 numeric, A11 numeric, A12 numeric, A13 numeric, A14 numeric, A15 numeric, A16 numeric, A17 numeric, A18 numeric, B1 numeric, B2 numeric, B3 numeric, B4 numeric, B5 numeric, B6 numeric, B7 numeric,
  frmc text
);

-- Staff rows per month with all their columns.
create view Vmon as select * from Staff_moninfo;
create view V as select * from Staff_moninfo;

-- One row per wage row whose person is on the same month's staff list, with that
-- person's codes. A staff number entered twice in one month's list gives two rows here,
-- as the entry checks allow such lists and mark them.
create view VmonWage as
  select w.Smon as Smon, w.sNumber as sNumber, w.sName as sName, w.sTotal as sTotal,
         w.sN1 as sN1, w.sN2 as sN2, w.sN3 as sN3, w.sN4 as sN4,
         s.sBirth as sBirth, s.sSex as Ssex, s.sNation as sNation, s.sParty as sParty,
         s.sEducation as sEducation, s.sPost as sPost, s.sPostGrade as sPostGrade, s.sJGrade as sJGrade,
         s.ssf as ssf, s.sqrz as sqrz, s.sgc as sgc, s.sjzs as sjzs, s.ssg as ssg, s.syg as syg
  from Wage_Info w join Staff_moninfo s on s.sMon = w.Smon and s.sNumber = w.sNumber;

-- Code rows. CodeName is the text shown in the sheets and stored in the sT... columns.

insert into Code_Sex (ID, CodeName, Memo) values (1, '男', '');
insert into Code_Sex (ID, CodeName, Memo) values (2, '女', '');
insert into Code_Nation (ID, CodeName, Memo) values (1, '是', '');
insert into Code_Nation (ID, CodeName, Memo) values (2, '否', '');
insert into Code_YesNo (ID, CodeName, Memo) values (1, '是', '');
insert into Code_YesNo (ID, CodeName, Memo) values (2, '否', '');
insert into Code_Role (ID, CodeName, Memo) values (1, '在岗职工', '');
insert into Code_Role (ID, CodeName, Memo) values (2, '劳务派遣人员', '');
insert into Code_Role (ID, CodeName, Memo) values (3, '其他从业人员', '');
insert into Code_Certy (ID, CodeName, Memo) values (1, '否', '');
insert into Code_Certy (ID, CodeName, Memo) values (2, '是（无上岗证书）', '');
insert into Code_Certy (ID, CodeName, Memo) values (3, '是（持上岗证书）', '');
insert into Code_Edu (ID, CodeName, Memo) values (1, '博士研究生', '');
insert into Code_Edu (ID, CodeName, Memo) values (2, '硕士研究生', '');
insert into Code_Edu (ID, CodeName, Memo) values (3, '大学本科', '');
insert into Code_Edu (ID, CodeName, Memo) values (4, '大学专科', '');
insert into Code_Edu (ID, CodeName, Memo) values (5, '中等专科', '');
insert into Code_Edu (ID, CodeName, Memo) values (6, '职业高中', '');
insert into Code_Edu (ID, CodeName, Memo) values (7, '普通高中', '');
insert into Code_Edu (ID, CodeName, Memo) values (8, '初中', '');
insert into Code_Edu (ID, CodeName, Memo) values (9, '小学及以下', '');
insert into Code_Grade (ID, CodeName, Memo) values (10, '无职称', '0');
insert into Code_Grade (ID, CodeName, Memo) values (31, '正高级', '0');
insert into Code_Grade (ID, CodeName, Memo) values (32, '副高级', '0');
insert into Code_Grade (ID, CodeName, Memo) values (33, '中级', '0');
insert into Code_Grade (ID, CodeName, Memo) values (34, '初级', '0');
insert into Code_Grade (ID, CodeName, Memo) values (35, '员级', '0');
insert into Code_Grade (ID, CodeName, Memo) values (51, '高级技师', '1');
insert into Code_Grade (ID, CodeName, Memo) values (52, '技师', '1');
insert into Code_Grade (ID, CodeName, Memo) values (53, '高级工', '1');
insert into Code_Grade (ID, CodeName, Memo) values (54, '中级工', '1');
insert into Code_Grade (ID, CodeName, Memo) values (55, '初级工', '1');
insert into Code_Grade (ID, CodeName, Memo) values (56, '无技能等级', '1');
insert into Code_Post (ID, CodeName, Memo) values (11, '省部级及以上公务员', '0');
insert into Code_Post (ID, CodeName, Memo) values (12, '地厅级公务员', '0');
insert into Code_Post (ID, CodeName, Memo) values (13, '县处级公务员', '0');
insert into Code_Post (ID, CodeName, Memo) values (14, '科级公务员', '0');
insert into Code_Post (ID, CodeName, Memo) values (15, '科级以下公务员', '0');
insert into Code_Post (ID, CodeName, Memo) values (18, '普通工人', '0');
insert into Code_Post (ID, CodeName, Memo) values (19, '其他人员', '0');
insert into Code_Post (ID, CodeName, Memo) values (21, '单位负责人', '1');
insert into Code_Post (ID, CodeName, Memo) values (22, '部门负责人', '1');
insert into Code_Post (ID, CodeName, Memo) values (23, '专业技术负责人', '1');
insert into Code_Post (ID, CodeName, Memo) values (31, '正高级专业技术人员', '01');
insert into Code_Post (ID, CodeName, Memo) values (32, '副高级专业技术人员', '01');
insert into Code_Post (ID, CodeName, Memo) values (33, '中级专业技术人员', '01');
insert into Code_Post (ID, CodeName, Memo) values (34, '初级专业技术人员', '01');
insert into Code_Post (ID, CodeName, Memo) values (35, '专业技术岗位工作人员', '01');
insert into Code_Post (ID, CodeName, Memo) values (41, '管理人员', '1');
insert into Code_Post (ID, CodeName, Memo) values (42, '办事人员', '1');
insert into Code_Post (ID, CodeName, Memo) values (51, '高级技师岗位', '01');
insert into Code_Post (ID, CodeName, Memo) values (52, '技师岗位', '01');
insert into Code_Post (ID, CodeName, Memo) values (53, '高级工岗位', '01');
insert into Code_Post (ID, CodeName, Memo) values (54, '中级工岗位', '01');
insert into Code_Post (ID, CodeName, Memo) values (55, '初级工岗位', '01');
insert into Code_Post (ID, CodeName, Memo) values (56, '其他技术岗位操作人员', '01');
insert into Code_Post (ID, CodeName, Memo) values (61, '辅助生产人员', '1');
insert into Code_Post (ID, CodeName, Memo) values (62, '商业人员', '1');
insert into Code_Post (ID, CodeName, Memo) values (63, '服务业人员', '1');
insert into Code_Post (ID, CodeName, Memo) values (64, '其他岗位工作人员', '1');
insert into Code_Post (ID, CodeName, Memo) values (100, '未分类岗位', '');

-- Result rows that the summaries only update, by Gid.
insert into Total_Info (Gid) values (1), (2), (3), (4), (5), (6), (7), (8), (9), (10), (11), (12), (13), (14), (15), (16), (17), (18), (19), (20), (21), (22), (23), (24), (25), (26), (27), (28), (29), (30), (31), (32), (33), (34), (35), (36), (37), (38), (39), (40);
insert into Total_baseInfo (Gid) values (1), (2), (3), (4), (5), (6), (7), (8), (9), (10), (11), (12), (13), (14), (15), (16), (17);
