-- The empty History database that "New History database" copies: kestrovane_mdb.template.
-- The program relies on the table History with an index named "Call" on Call, the columns
-- Updated, data2 and data3 and every column the mapping workbook names, and on a table version.

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
	[UserText]			Text (50),
	[data2]			Text (50),
	[data3]			Text (50),
	[Updated]			DateTime
);

CREATE INDEX [Call] ON [History] ([Call]);

CREATE TABLE [version]
 (
	[Version]			Text (10)
);
