-- The logger's database as an import reads it: the tables ContestInstance and DXLOG with every
-- column, in order, that the logger's current version (1.0.10386, log database schema version 2)
-- creates in its own log file, each given the nearest Access type. The defaults the logger
-- declares are not kept: the rows state every value the logger would write.
--
-- DXLOG's ID is declared TEXT(16) there, but the logger fills it with 32 hex digits, which
-- SQLite accepts whatever the declared length; Text (32) holds what the logger writes.

CREATE TABLE [ContestInstance]
 (
	[ContestID]			Long Integer NOT NULL,
	[ContestName]			Text (10),
	[StartDate]			DateTime,
	[OperatorCategory]			Text (20),
	[BandCategory]			Text (20),
	[PowerCategory]			Text (20),
	[ModeCategory]			Text (20),
	[OverlayCategory]			Text (20),
	[ClaimedScore]			Currency,
	[Operators]			Text (255),
	[Soapbox]			Memo/Hyperlink,
	[SentExchange]			Text (50),
	[ContestNR]			Long Integer,
	[SubType]			Text (9),
	[StationCategory]			Text (20),
	[AssistedCategory]			Text (20),
	[TransmitterCategory]			Text (20),
	[TimeCategory]			Text (20)
);

CREATE INDEX [PrimaryKey] ON [ContestInstance] ([ContestID]) WITH PRIMARY;

CREATE TABLE [DXLOG]
 (
	[TS]			DateTime NOT NULL,
	[Call]			Text (15) NOT NULL,
	[Freq]			Double,
	[QSXFreq]			Double,
	[Mode]			Text (6),
	[ContestName]			Text (10),
	[SNT]			Text (10),
	[RCV]			Text (15),
	[CountryPrefix]			Text (8),
	[StationPrefix]			Text (15),
	[QTH]			Text (25),
	[Name]			Text (20),
	[Comment]			Text (60),
	[NR]			Long Integer,
	[Sect]			Text (8),
	[Prec]			Text (1),
	[CK]			Byte,
	[ZN]			Byte,
	[SentNr]			Long Integer,
	[Points]			Long Integer,
	[IsMultiplier1]			Byte,
	[IsMultiplier2]			Long Integer,
	[Power]			Text (8),
	[Band]			Double,
	[WPXPrefix]			Text (8),
	[Exchange1]			Text (20),
	[RadioNR]			Byte,
	[ContestNR]			Long Integer,
	[isMultiplier3]			Long Integer,
	[MiscText]			Text (20),
	[IsRunQSO]			Byte,
	[ContactType]			Text (1),
	[Run1Run2]			Byte NOT NULL,
	[GridSquare]			Text (6),
	[Operator]			Text (20),
	[Continent]			Text (2),
	[RoverLocation]			Text (10),
	[RadioInterfaced]			Long Integer,
	[NetworkedCompNr]			Long Integer,
	[NetBiosName]			Text (255),
	[IsOriginal]			Boolean,
	[ID]			Text (32) NOT NULL,
	[CLAIMEDQSO]			Long Integer
);

CREATE INDEX [PrimaryKey] ON [DXLOG] ([TS], [Call]) WITH PRIMARY;
CREATE INDEX [ContestNR] ON [DXLOG] ([ContestNR]);
