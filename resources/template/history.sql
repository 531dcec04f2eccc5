-- The empty History database that "New History database" copies: kestrovane_mdb.template.
-- The program relies on the table History with an index named "Call" on Call, the columns
-- Updated, data2 and data3 and every column the mapping workbook names, and on a table version.
-- Loc1 ... UserText are the logger's call-history fields under the logger's own names; each is
-- at least as wide as the longest value the logger keeps in it. The numbers and the date among
-- them (Ck, CqZone, ITUZone, BirthDate) are text: History keeps what a file or log says, an
-- empty value stays empty, and "04" stays "04" (resources/mapping/README.md tells why).

CREATE TABLE [History]
 (
	[Call]			Text (20),
	[Name]			Text (50),
	[Sect]			Text (10),
	[State]			Text (10),
	[Ck]			Text (10),
	[Exch1]			Text (50),
	[Grid]			Text (10),
	[Nr]			Text (20),
	[UserText]			Text (255),
	[Loc1]			Text (10),
	[Loc2]			Text (10),
	[BirthDate]			Text (20),
	[Misc]			Text (50),
	[Power]			Text (10),
	[CqZone]			Text (10),
	[ITUZone]			Text (10),
	[data2]			Text (50),
	[data3]			Text (50),
	[Updated]			DateTime
);

CREATE INDEX [Call] ON [History] ([Call]);

CREATE TABLE [version]
 (
	[Version]			Text (10)
);
