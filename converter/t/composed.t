# The converter takes the very command line the program composes: a job is described through
# the window model (mapfeed-scenario plays the user's events), its "start" line split the way
# the program splits it, and the design file read back. MAPFEED_SCENARIO names the runner.
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Test::More;

my $runner = $ENV{MAPFEED_SCENARIO};
plan skip_all => 'MAPFEED_SCENARIO (the path of mapfeed-scenario) is not set' unless $runner && -x $runner;

my $dir = scratch();
write_file("$dir/parcels.gen", "101 3 2\n0 0\n10 0\n10 10\n0 10\n0 0\nEND\n102 27 8\n20 0\n30 0\n30 10\n20 10\n20 0\nEND\nEND\n");
write_file("$dir/parcels.dgn", '');

# The command lines the scenario's "Apply" presses started, unescaped.
sub started_commands ($scenario) {
    write_file("$dir/job.scenario", $scenario);
    open(my $transcript, '-|', $runner, "$dir/job.scenario") or die "$runner: $!";
    my @commands;
    while (<$transcript>) {
        push @commands, $1 =~ s/\\(["\\])/$1/gr if /^start "(.*)"$/;
    }
    close $transcript;
    return @commands;
}

my @commands = started_commands(<<"SCENARIO");
type InfileTxt $dir/parcels.gen
type DgnFileTxt $dir/parcels.dgn
pick ThemeCmb Area - polygons
type Outlevtxt 12
type CentrTxt 14
type TblnmTxt parcels
type Mslinktxt 100
click LinsymCmd
type linesym.OutStyTxt 2
type linesym.OutWtTxt 4
type linesym.OutColorTxt 6
click linesym.ApplyCmd
click PntsymCmd
type pntsym.OutWtTxt 1
type pntsym.OutColorTxt 9
click pntsym.ApplyCmd
pick CentrCmb Annotation
type textsym.SizeTxt 2
click textsym.ApplyCmd
click RasterChck
type rasterinfo.UlhxTxt 0
type rasterinfo.UlhyTxt 100
type rasterinfo.PixszTxt 10
click rasterinfo.ApplyCmd
click ApplyCmd
SCENARIO
is(scalar @commands, 1, 'one converter start');

# Blanks separate the words; the paths hold none.
my (undef, undef, $script, @words) = split /[ \t]+/, $commands[0];
is($script, 'mapfeed.pl', 'perl -S mapfeed.pl');
like($commands[0], qr/ -C  14 /, 'slot 6 carries its flag "-C " with the blank');
my ($status, $out, $err) = run_words(@words);
is($status, 0, 'the converter accepts it: exit 0') or diag $err;
my $f = features("$dir/parcels.dgn");
is_deeply([ map { [ @$_{qw(Type Level Style Weight ColorIndex MSLink)} ] } @$f ],
    [ [ 6, 12, 2, 4, 6, 100 ], [ 17, 14, 0, 1, 9, 100 ], [ 6, 12, 2, 4, 6, 101 ], [ 17, 14, 0, 1, 9, 101 ] ],
    'shapes on 12 with 2,4,6; their ids as text on 14 with 0,1,9; mslinks from 100');
is_deeply([ map { $_->{Text} // () } @$f ], [ 101, 102 ], 'the polygon ids as annotation');
# The label points (3,2) and (27,8) moved to their cells' centres (5,5) and (25,5) in the grid
# of 10 from (0,100); justification 2 puts the text's lower left corner there.
is_deeply([ map { $_->{Type} == 17 ? $_->{coordinates}[0] : () } @$f ], [ [ 5, 5 ], [ 25, 5 ] ], 'text at the cell centres');

sub run_words (@argv) {
    my ($input, $design) = @argv[ 1, 3 ];
    return run_converter($input, $design, @argv[ 4 .. $#argv ]) if $argv[0] eq '-I' && $argv[2] eq '-D';
    die "unexpected head: @argv[0 .. 3]";
}

done_testing;
