# The design file: appended to with its header kept, refused when unusable, untouched by every
# failing run, and shared safely by converters running at once.
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Test::More;

my $dir = scratch();
my $points = "$dir/points in a folder.gen";    # a path with blanks arrives as one argument
write_file($points, "1 100 200\n2 110 210\nEND\n");
my @job = slots(3 => [ '-S', 'A' ], 4 => [ '-P', 'P' ], 6 => [ '-C ', '3' ], 9 => [ '-O', 'P' ]);

subtest 'appending keeps the header and the earlier elements' => sub {
    my $design = "$dir/base.dgn";
    write_file($design, '');
    is((run_converter($points, $design, @job))[0], 0, 'first run on an empty file');
    my $first = read_bytes($design);
    is(substr($first, 0, 4), pack('CCv', 8, 9, 766), 'a 2D TCB starts the file');
    is(substr($first, -2), "\xFF\xFF", 'the end marker closes it');
    is((run_converter($points, $design, @job, '-+'))[0], 0, 'second run, with the -+ marker at the end');
    my $second = read_bytes($design);
    is(substr($second, 0, length($first) - 2), substr($first, 0, -2), 'everything before the old end marker kept');
    is(substr($second, -2), "\xFF\xFF", 'the end marker moved to the end');
    is(scalar @{ features($design) }, 4, 'both runs read back');
};

subtest 'the header\'s units and global origin are used' => sub {
    # A header of its own: 10 UORs a master unit, the global origin at master (-50, 20).
    my $design = "$dir/units.dgn";
    write_file($design, '');
    run_converter($points, $design, @job);
    my $bytes = read_bytes($design);
    substr($bytes, 1112, 8) = pack('vvvv', 0, 10, 0, 1);
    substr($bytes, 1240, 16) = vax(500) . vax(-200);
    substr($bytes, 1536 + 356 + 156) = "\xFF\xFF";    # only the three header elements
    write_file($design, $bytes);
    my ($status, undef, $err) = run_converter($points, $design, @job);
    is($status, 0, 'exit 0') or diag $err;
    is_deeply([ map { $_->{coordinates}[0] } @{ features($design) } ], [ [ 100, 200 ], [ 110, 210 ] ], 'read back at their places: the units and origin were applied both ways');
};

subtest 'failures leave the design file as it was' => sub {
    my $design = "$dir/keep.dgn";
    write_file($design, '');
    run_converter($points, $design, @job);
    my $before = read_bytes($design);
    write_file("$dir/bad.gen", "1\n0 0\n5 x\nEND\nEND\n");
    write_file("$dir/far.gen", "1 9999999 0\nEND\n");
    my @cases = (
        [ 2, 'unknown flag', [ $points, $design, @job, '-Q', '1' ] ],
        [ 2, 'missing value', [ $points, $design, @job, '-L' ] ],
        [ 2, 'stray word', [ $points, $design, @job, 'extra' ] ],
        [ 2, 'level out of range', [ $points, $design, slots(6 => [ '-C ', '64' ]) ] ],
        [ 2, 'symbology out of range', [ $points, $design, slots(14 => [ '-sp', '0,32,0' ]) ] ],
        [ 2, 'a table name of one blank', [ $points, $design, slots(7 => [ '-T', ' ' ], 8 => [ '-M', '1' ]) ] ],
        [ 2, 'point type without a value', [ $points, $design, slots(9 => [ '-O', '' ], 14 => [ '-sp', '0,0,0' ]) ] ],
        [ 4, 'Etak Map Base', [ $points, $design, slots(3 => [ '-S', 'E' ]) ] ],
        [ 4, 'ULF input', [ "$dir/in.ulf", $design, @job ] ],
        [ 4, 'malformed input', [ "$dir/bad.gen", $design, @job ] ],
        [ 5, 'outside the design plane', [ "$dir/far.gen", $design, @job ] ],
    );
    for my $case (@cases) {
        my ($expected, $what, $arguments) = @$case;
        my ($status, undef, $err) = run_converter(@$arguments);
        is($status, $expected, "$what: exit $expected");
        like($err, qr/nothing was written/, "$what: says so");
        ok(read_bytes($design) eq $before, "$what: design file unchanged");
    }
    my $text = "$dir/notes.dgn";
    write_file($text, "not a design file\n");
    is((run_converter($points, $text))[0], 5, 'a file that is no design file: exit 5');
    is(read_bytes($text), "not a design file\n", 'and it is left alone');
    is((run_converter($points, "$dir/missing.dgn"))[0], 5, 'a missing design file: exit 5');
    chmod 0444, $design;
    is((run_converter($points, $design, @job))[0], 5, 'a write-protected design file: exit 5');
    ok(read_bytes($design) eq $before, 'and it is left alone');
};

subtest 'converters started one after the other all land' => sub {
    my $design = "$dir/shared.dgn";
    write_file($design, '');
    my @children = map {
        my $pid = fork // die "fork: $!";
        exit((run_converter($points, $design, @job))[0]) unless $pid;
        $pid;
    } 1 .. 4;
    my @status = map { waitpid($_, 0); $? >> 8 } @children;
    is_deeply(\@status, [ 0, 0, 0, 0 ], 'four runs, each exit 0');
    is(scalar @{ features($design) }, 8, 'all eight points in the file');
};

sub vax ($value) {    # a whole number as a VAX D-float, for the header
    return "\0" x 8 if $value == 0;
    my $bits = unpack('Q<', pack('d<', $value));
    my $vax = ($bits & (1 << 63)) | (((($bits >> 52) & 0x7FF) - 894) << 55) | (($bits & ((1 << 52) - 1)) << 3);
    return pack('v4', map { ($vax >> $_) & 0xFFFF } 48, 32, 16, 0);
}

done_testing;
